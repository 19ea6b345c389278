// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Font.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>

#include <algorithm>

namespace {
// The size, in tenths of a point, of the dialog font the windows were laid out at.
const int kDialogPointSize = 80;
} // namespace

BOOL CFont::CreatePointFont(int nPointSize, const char* /*pszFaceName*/)
{
    // The named families are the classic dialog fonts, which stood for the desktop's own font at its
    // size: the desktop's font is taken, scaled by how the size asked for compares with the classic
    // 8 points, so that a window follows the user's font setting as every other window does.
    QFont font = QApplication::font();
    if (nPointSize != kDialogPointSize && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * nPointSize / kDialogPointSize);
    else if (nPointSize != kDialogPointSize && font.pixelSize() > 0)
        font.setPixelSize(std::max(1, font.pixelSize() * nPointSize / kDialogPointSize));
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
