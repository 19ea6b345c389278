// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CTabCtrl: a row of tabs over a framed pane, as a property sheet shows its pages. The sheet keeps its
// page titles and its current page here; the pages themselves lie over the pane as siblings.
//
// The titles and the current tab live in the control itself; the row of tabs on the screen mirrors
// them only while the control is on the screen. A sheet that shows its pages some other way (in a tree)
// hides it, and then 10,000 pages cost 10,000 titles, not a tab row laid out again for each one.

#include "platform/Wnd.h"

#include <vector>

class QTabBar;

class CTabCtrl : public CWnd
{
public:
    // Makes the tab row and pane as a child of pParent, with the pane's inside cx by cy.
    BOOL Create(CWnd* pParent, int x, int y, int cxPane, int cyPane);

    int GetItemCount() const;
    CString GetItemText(int nItem) const;
    int GetCurSel() const;
    int SetCurSel(int nItem);
    // The area the pages lie over, in the parent's coordinates.
    CRect GetPageArea() const;

    BOOL InsertItem(int nItem, const char* pszText);

    // The height of one row of tabs in the desktop's style.
    static int MeasureHeaderHeight(CWnd* pParent);

    QTabBar* TabBar() const;

private:
    bool Mirrored() const;
    // Puts the titles and the current tab into the row of tabs, when it is on the screen.
    void Mirror();

    std::vector<CString> m_items;
    int m_nCurSel = -1;
};
