// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CTreeCtrl: a tree of text items, each with a data value and an image. A change of selection is
// announced to the parent window before (TVN_SELCHANGING, which the parent may refuse) and after
// (TVN_SELCHANGED) it happens, as WM_NOTIFY messages.

#include "platform/ImageList.h"
#include "platform/ListCtrl.h"

struct CTreeItemTag;
typedef CTreeItemTag* HTREEITEM;

// Stand-ins for "the root" and "at the end" where an item is expected.
extern const HTREEITEM TVI_ROOT;
extern const HTREEITEM TVI_LAST;

enum : UINT { TVE_EXPAND = 0x0002 };
enum : int { TVSIL_NORMAL = 0 };
enum : DWORD {
    TVS_HASBUTTONS = 0x0001,
    TVS_HASLINES = 0x0002,
    TVS_LINESATROOT = 0x0004,
    TVS_SHOWSELALWAYS = 0x0020,
    TVS_TRACKSELECT = 0x0200,
};

// The notification a control sends its parent.
enum : UINT { WM_NOTIFY = 0x004E };
enum : UINT { TVN_SELCHANGING = 0xFFFFFE6F, TVN_SELCHANGED = 0xFFFFFE6E };
struct NMHDR
{
    HWND hwndFrom;
    UINT idFrom;
    UINT code;
};
struct TVITEM
{
    HTREEITEM hItem;
    DWORD_PTR lParam; // the item's data value
};
struct NMTREEVIEW
{
    NMHDR hdr;
    TVITEM itemOld;
    TVITEM itemNew;
};

class CTreeCtrl : public CWnd
{
public:
    CTreeCtrl();
    ~CTreeCtrl() override;

    BOOL Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID);

    HTREEITEM InsertItem(const char* pszText, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    BOOL DeleteAllItems();
    UINT GetCount() const;

    CString GetItemText(HTREEITEM hItem) const;
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;

    HTREEITEM GetRootItem() const;
    HTREEITEM GetChildItem(HTREEITEM hItem) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetParentItem(HTREEITEM hItem) const;
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    BOOL Expand(HTREEITEM hItem, UINT nCode);

    HTREEITEM GetSelectedItem() const;
    // Selects an item (nullptr: none), announcing the change like a click does.
    BOOL SelectItem(HTREEITEM hItem);

    // The width at which the tree shows its widest item whole, without scrolling sideways: frame,
    // indentation, image and text at the current font, and room for a vertical scroll bar when the
    // items do not fit its height.
    int GetItemsWidth() const;

    // The images of the items (TVSIL_NORMAL, the only list a tree here has); returns the one before.
    CImageList* SetImageList(CImageList* pImageList, int nImageListType);

private:
    void OnCurrentChanged(HTREEITEM hNew, HTREEITEM hOld);
    LRESULT Notify(UINT nCode, HTREEITEM hOld, HTREEITEM hNew);
    void ShowImage(HTREEITEM hItem);

    CImageList* m_pImages = nullptr;
    bool m_bReverting = false;
};
