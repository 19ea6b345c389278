// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The simple controls a window can make at run time: a static text, a single-line edit box and a
// push button, each placed in pixel coordinates of its parent. Clicks and edits reach the parent as
// commands (OnCommand with BN_CLICKED or EN_CHANGE and the control's id).

#include "platform/Wnd.h"

enum : DWORD {
    SS_NOPREFIX = 0x0080,
    ES_PASSWORD = 0x0020,
    ES_AUTOHSCROLL = 0x0080,
    BS_PUSHBUTTON = 0x0000,
    BS_DEFPUSHBUTTON = 0x0001,
};
enum : int { IDC_STATIC = 0xFFFF };

class CStatic : public CWnd
{
public:
    BOOL Create(const char* pszText, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);
};

class CEdit : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);
};

// A button made with the id IDOK or IDCANCEL is its window's OK or Cancel button, and carries that
// action's picture where the desktop's theme gives dialog buttons pictures.
class CButton : public CWnd
{
public:
    BOOL Create(const char* pszText, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);
    // The size that shows the button's text and picture whole, in its current font.
    BOOL GetIdealSize(SIZE* pSize) const;
};
