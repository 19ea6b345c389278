#pragma once
// CTabCtrl: a row of tabs over a framed pane, as a property sheet shows its pages. The sheet keeps its
// page titles and its current page here; the pages themselves lie over the pane as siblings.

#include "platform/ImageList.h"
#include "platform/Wnd.h"

class QTabBar;

class CTabCtrl : public CWnd
{
public:
    // Makes the tab row and pane as a child of pParent, with the pane's inside cx by cy.
    BOOL Create(CWnd* pParent, int x, int y, int cxPane, int cyPane);

    int GetItemCount() const;
    CString GetItemText(int nItem) const;
    // The tab's image index in the image list, -1 for none.
    int GetItemImage(int nItem) const;
    int GetCurSel() const;
    int SetCurSel(int nItem);
    CImageList* GetImageList() const { return nullptr; }
    // The rectangle of a tab, in the control's coordinates.
    BOOL GetItemRect(int nItem, CRect& rect) const;
    // The area the pages lie over, in the parent's coordinates.
    CRect GetPageArea() const;

    BOOL InsertItem(int nItem, const char* pszText);
    BOOL DeleteItem(int nItem);

    // The height of one row of tabs in the desktop's style.
    static int MeasureHeaderHeight(CWnd* pParent);

    QTabBar* TabBar() const;
};
