// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Font.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>

BOOL CFont::CreatePointFont(int nPointSize, const char* pszFaceName)
{
    QFont font = QApplication::font();
    const QString family = QString::fromUtf8(pszFaceName ? pszFaceName : "");
    if (QFontDatabase::families().contains(family))
        font.setFamily(family);
    font.setPointSizeF(nPointSize / 10.0);
    m_pFont = std::make_shared<const QFont>(font);
    return TRUE;
}

const QFont& CFont::GetQFont() const
{
    static const QFont noFont;
    return m_pFont ? *m_pFont : noFont;
}

int CFont::GetTextWidth(const char* pszText) const
{
    return QFontMetrics(GetQFont()).horizontalAdvance(QString::fromUtf8(pszText ? pszText : ""));
}

int CFont::GetHeight() const
{
    return QFontMetrics(GetQFont()).height();
}
