// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CFont: a font by point size. The windows name the classic dialog fonts ("MS Sans Serif" at 8
// points), which stand for the desktop's own user-interface font: every font is the desktop's family,
// at the desktop's size for 8 points and in proportion for other sizes (9 points is 9/8 of it).

#include "platform/AfxTypes.h"

#include <memory>

class QFont;

class CFont
{
public:
    // nPointSize is in tenths of a point, as 80 for 8 points; the face name is not used (see above).
    BOOL CreatePointFont(int nPointSize, const char* pszFaceName);
    const QFont& GetQFont() const;
    // The width in pixels of a line of text in this font.
    int GetTextWidth(const char* pszText) const;
    // The height in pixels of a line of text in this font.
    int GetHeight() const;

private:
    // Shared between copies: a font is never changed in place, CreatePointFont makes a new one.
    std::shared_ptr<const QFont> m_pFont;
};
