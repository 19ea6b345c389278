// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CListCtrl: a report-view list: columns under a header, rows of cells, several rows selectable at
// once, a focus row, a check mark and a data value per row, an image index per cell. It is what list
// controls of the program are built on; subclasses hook header clicks, the colours a cell is drawn
// with and the keys pressed in the list.

#include "platform/SysColor.h"
#include "platform/Wnd.h"

class QTableView;
class CListModel;

typedef std::uintptr_t DWORD_PTR;

// Window styles of a list.
enum : DWORD {
    LVS_REPORT = 0x0001,
    LVS_EDITLABELS = 0x0200,
    LVS_NOSCROLL = 0x2000,
    LVS_NOCOLUMNHEADER = 0x4000,
    LVS_NOSORTHEADER = 0x8000,
};
// Extended styles.
enum : DWORD { LVS_EX_GRIDLINES = 0x01, LVS_EX_SUBITEMIMAGES = 0x02, LVS_EX_FULLROWSELECT = 0x20 };
// Column formats.
enum : int { LVCFMT_LEFT = 0, LVCFMT_RIGHT = 1, LVCFMT_CENTER = 2 };
// Row states.
enum : UINT { LVIS_FOCUSED = 0x01, LVIS_SELECTED = 0x02 };

class CListCtrl : public CWnd
{
public:
    CListCtrl();
    ~CListCtrl() override;

    // Makes a new list as a child of pParent.
    BOOL Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);

    // The window style: LVS_NOCOLUMNHEADER hides the header, LVS_NOSORTHEADER makes it unclickable.
    DWORD GetStyle() const;
    void SetStyle(DWORD dwStyle);
    DWORD GetExtendedStyle() const;
    void SetExtendedStyle(DWORD dwExStyle);
    // Whether clicks on the header's items reach OnColumnClick (the header's HDS_BUTTONS style).
    BOOL IsHeaderClickable() const;
    int GetHeaderItemCount() const;

    // Columns are as wide as their heading and their widest cell need at the list's current font, the
    // last one filling the rest of the list; nWidth, a width in pixels at some other font, is not used.
    // A column the user drags keeps its width.
    int InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth, int nSubItem = -1);
    BOOL DeleteColumn(int nCol);

    int GetItemCount() const;
    // Inserts a row with text in its first cell; returns its index, or -1.
    int InsertItem(int nItem, const char* pszText);
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();

    CString GetItemText(int nItem, int nSubItem) const;
    // The same text without a copy, for reading a whole list at once (to sort it or write it out):
    // valid until the list changes. "" for a cell that does not exist.
    const char* GetItemTextPtr(int nItem, int nSubItem) const;
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    UINT GetItemState(int nItem, UINT nMask) const;
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    BOOL GetCheck(int nItem) const;
    BOOL SetCheck(int nItem, BOOL bCheck = TRUE);
    int GetItemImage(int nItem, int nSubItem) const;
    BOOL SetItemImage(int nItem, int nSubItem, int nImage);

    // Puts the rows nFirst.. into a new order in one step: the row at nFirst + k is the one that
    // stood at order[k]. Each row takes its texts, images, data and check mark along, and selection
    // and focus follow their rows.
    void MoveRows(int nFirst, const std::vector<int>& order);

    // Shows the header's sort arrow on a column (-1: none).
    void ShowSortIndicator(int nCol, BOOL bAscending);

protected:
    // A click on a column heading.
    virtual void OnColumnClick(int nCol);
    // The colours a cell is about to be drawn with; change them and answer TRUE to draw others.
    virtual BOOL OnCustomDrawSubItem(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBk);
    // A key press on its way to the list; TRUE swallows it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    void PreSubclassWindow() override;

private:
    class CCellDelegate;
    class CViewportWatcher;
    friend class CCellDelegate;
    friend class CViewportWatcher;

    QTableView* Table() const;
    CListModel* Model() const;
    void SetUpTable();
    bool IsValidRow(int nItem) const;
    bool IsValidCell(int nItem, int nSubItem) const;
    // The model when the row (or cell) exists, else nullptr.
    CListModel* RowModel(int nItem) const;
    CListModel* CellModel(int nItem, int nSubItem) const;
    // Sizes every column to its content (see InsertColumn). Rows and texts change thousands of times
    // as a page fills a list: they ask for one fit when the event loop next runs.
    void FitColumns();
    void QueueFit();
    int HeadingWidth(int nCol) const;
    int CellsWidth(int nCol) const;
    // The last column takes the width the list has beyond the other columns, so that the list
    // shows no empty band as it grows with its window.
    void FillLastColumn();
    void SetColumnWidth(int nCol, int nWidth);
    void OnFontChanged();

    // The table this object has set up (once per window), and the parent of everything that calls
    // back into this object from the table (delegate, key filter, header connection); the bridge goes
    // with this object, so a table that outlives it calls nothing.
    struct CTableLink;
    std::unique_ptr<CTableLink> m_pLink;
};
