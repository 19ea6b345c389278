// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page's command map: which member function handles which notification of which control. The
// page returns its table from GetCommandMap(); the platform connects the controls' signals to it
// when the page window is made.

#include "platform/AfxTypes.h"

#include <vector>

class CWnd;

struct CCommandEntry
{
    UINT nCode; // BN_CLICKED, EN_CHANGE, CBN_SELCHANGE, CBN_EDITCHANGE or LVN_KEYDOWN
    int nID; // control id
    void (CWnd::*pfn)(); // handler of the page
};
typedef std::vector<CCommandEntry> CCommandMap;

// Entries read like the notifications they route: OnBnClicked(IDC_ENABLE, &CPropPageNetwork::OnEnable).
template <class T>
CCommandEntry OnBnClicked(int nID, void (T::*pfn)())
{
    return {BN_CLICKED, nID, static_cast<void (CWnd::*)()>(pfn)};
}
template <class T>
CCommandEntry OnEnChange(int nID, void (T::*pfn)())
{
    return {EN_CHANGE, nID, static_cast<void (CWnd::*)()>(pfn)};
}
template <class T>
CCommandEntry OnCbnSelChange(int nID, void (T::*pfn)())
{
    return {CBN_SELCHANGE, nID, static_cast<void (CWnd::*)()>(pfn)};
}
template <class T>
CCommandEntry OnCbnEditChange(int nID, void (T::*pfn)())
{
    return {CBN_EDITCHANGE, nID, static_cast<void (CWnd::*)()>(pfn)};
}
// The Delete key pressed in a list (the one key of a list's key notifications the pages handle).
template <class T>
CCommandEntry OnLvnDeleteKey(int nID, void (T::*pfn)())
{
    return {LVN_KEYDOWN, nID, static_cast<void (CWnd::*)()>(pfn)};
}
