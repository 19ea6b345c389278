// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SysColor.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace {

QColor PaletteColor(const QPalette& palette, int nIndex)
{
    switch (nIndex) {
    case COLOR_WINDOW:
        return palette.color(QPalette::Active, QPalette::Base);
    case COLOR_WINDOWTEXT:
        return palette.color(QPalette::Active, QPalette::Text);
    case COLOR_INACTIVECAPTION:
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case COLOR_CAPTIONTEXT:
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case COLOR_BTNFACE:
        return palette.color(QPalette::Active, QPalette::Button);
    default:
        return QColor();
    }
}

} // namespace

COLORREF GetSysColor(int nIndex)
{
    // A list asks for two colours for each row it gets, tens of thousands on a heavy card: they are
    // read from the palette once for each palette the application has, which its key tells apart.
    static qint64 nPaletteKey = 0;
    static std::array<COLORREF, COLOR_BTNFACE + 1> colors{};
    if (nIndex < 0 || nIndex >= static_cast<int>(colors.size()))
        return 0;
    const QPalette palette = QGuiApplication::palette();
    if (palette.cacheKey() != nPaletteKey || nPaletteKey == 0) {
        for (size_t i = 0; i < colors.size(); ++i) {
            const QColor color = PaletteColor(palette, static_cast<int>(i));
            colors[i] = color.isValid() ? RGB(color.red(), color.green(), color.blue()) : 0;
        }
        nPaletteKey = palette.cacheKey();
    }
    return colors[static_cast<size_t>(nIndex)];
}
