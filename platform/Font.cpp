#include "platform/Font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

BOOL CFont::CreatePointFont(int nPointSize, const char* pszFaceName)
{
    m_font = QApplication::font();
    const QString family = QString::fromUtf8(pszFaceName ? pszFaceName : "");
    if (QFontDatabase::families().contains(family))
        m_font.setFamily(family);
    m_font.setPointSizeF(nPointSize / 10.0);
    return TRUE;
}

int CFont::GetTextWidth(const char* pszText) const
{
    return QFontMetrics(m_font).horizontalAdvance(QString::fromUtf8(pszText ? pszText : ""));
}
