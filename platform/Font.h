// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CFont: a font by point size and family. A family the system does not have (the classic dialog
// fonts) falls back to the desktop's own user-interface font at the size asked for.

#include "platform/AfxTypes.h"

#include <memory>

class QFont;

class CFont
{
public:
    // nPointSize is in tenths of a point, as 80 for 8 points.
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
