// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The handful of scalar types, constants and notification codes that the code
// above the platform layer is written against. Only what a caller uses lives here.

#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef std::intptr_t INT_PTR;
typedef std::intptr_t LRESULT;
typedef std::uintptr_t WPARAM;
typedef std::intptr_t LPARAM;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Dialog results and message box buttons.
enum : int { IDOK = 1, IDCANCEL = 2 };
enum : UINT { MB_OK = 0x00000000 };

// The Apply button of a property sheet has this control id, as OK and Cancel have IDOK and IDCANCEL.
enum : int { ID_APPLY_NOW = 0x3021 };

// A command from a control to its parent window.
enum : UINT { WM_COMMAND = 0x0111, WM_PAINT = 0x000F };

// Button check state messages and results.
enum : UINT { BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1 };
enum : int { BST_UNCHECKED = 0, BST_CHECKED = 1 };

// An edit box's masking character: 0 shows the text as typed, any other masks it.
enum : UINT { EM_SETPASSWORDCHAR = 0x00CC };

// ShowWindow commands.
enum : int { SW_HIDE = 0, SW_SHOW = 5 };

// Control notifications that a page's command map can route.
enum : UINT { BN_CLICKED = 0, EN_CHANGE = 0x0300, CBN_SELCHANGE = 1, CBN_EDITCHANGE = 5, LVN_KEYDOWN = 0xFFFFFF65 };

// Window styles shared by every kind of window.
enum : DWORD {
    WS_TABSTOP = 0x00010000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_HSCROLL = 0x00100000,
    WS_VSCROLL = 0x00200000,
    WS_VISIBLE = 0x10000000,
    WS_CHILD = 0x40000000,
};

// A key press on its way to a window, which a window may take before the focused control sees it.
enum : UINT { WM_KEYDOWN = 0x0100 };
enum : int { VK_TAB = 0x09, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22 };
struct MSG
{
    UINT message;
    WPARAM wParam; // the key: a VK_ code, or the upper-case letter or digit
};

// Header flags of property sheets and pages.
enum : DWORD { PSP_USETITLE = 0x00000008, PSP_HASHELP = 0x00000020, PSH_HASHELP = 0x00000200 };

// A width and a height in pixels.
struct SIZE
{
    int cx = 0;
    int cy = 0;
};

// A rectangle in pixels, as left, top, right and bottom (right and bottom just outside it).
struct CRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    CRect() = default;
    CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};
