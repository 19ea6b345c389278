// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as the code above the platform layer names them: COLORREF values (0x00BBGGRR) and the
// system colours, which come from the application's palette so that they follow the desktop theme.

#include "platform/AfxTypes.h"

typedef DWORD COLORREF;

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

enum : int {
    COLOR_INACTIVECAPTION = 3,
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_BTNFACE = 15,
};

COLORREF GetSysColor(int nIndex);
