// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A property sheet that shows its pages through a tree instead of a row of tabs. Every page keeps its
// ordinary title; a title may be a path of segments separated by "::" ("Configured Networks::Home"),
// and the sheet builds one tree node per distinct path prefix. Selecting a node that stands for a
// page shows the page; selecting a node without one hides the current page and shows a short text in
// its place. The hidden tab control stays the source of truth for titles and the current page; the
// tree is rebuilt from it whenever pages are added.

#include "platform/PropertySheet.h"
#include "platform/TreeCtrl.h"
#include "ui/PropPageFrame.h"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace TreePropSheet {

enum : UINT { IDC_PAGE_TREE = 0x7EEE, IDC_PAGE_FRAME = 0xFFFF };

class CTreePropSheet : public CPropertySheet
{
public:
    CTreePropSheet(const char* pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CTreePropSheet() override;

    // Before the window exists only. With tree mode off the caption and image flags keep their values.
    BOOL SetTreeMode(BOOL bTreeViewMode, BOOL bPageCaption = FALSE, BOOL bTreeImages = FALSE);
    BOOL SetPageTreeWidth(int nWidth);
    // printf-style, one %s for the node's text; used at the next caption update.
    void SetEmptyPageFormat(const char* pszFormat);
    // Exactly two images: 0 for nodes without a page, 1 for pages without an image of their own.
    BOOL SetDefaultTreeImages(CImageList* pImages);

protected:
    virtual CString FormatEmptyPageText(const char* pszFormat, const char* pszNodeText);
    virtual std::unique_ptr<CTreeCtrl> NewPageTree();
    virtual std::unique_ptr<CPropPageFrame> NewPageFrame();

    BOOL OnInitDialog() override;
    CWnd* GetPageSelector() const override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    void RebuildPageTree();
    HTREEITEM InsertPageTreePath(const char* pszPath, HTREEITEM hParent = TVI_ROOT);
    // Cuts the first segment off strRest and returns it; strRest keeps what follows the separator.
    static CString SplitTitlePath(CString& strRest);
    BOOL DeactivateCurrentPage();
    HTREEITEM FindPageItem(int nPage) const;
    void SelectPageItem(int nPage);
    void SelectCurrentPageItem();
    void UpdateFrameCaption();
    void SelectNextItem();
    void SelectPreviousItem();
    void OffsetChildWindows(int nDx, int nDy);

    BOOL m_bTreeMode = TRUE;
    std::unique_ptr<CTreeCtrl> m_pPageTree;
    std::unique_ptr<CPropPageFrame> m_pPageFrame;
    BOOL m_bInTreeSelChange = FALSE;
    BOOL m_bPageCaption = FALSE;
    BOOL m_bTreeImages = FALSE;
    CImageList m_TreeImages;
    CImageList m_DefaultImages;
    CString m_strEmptyPageFormat;
    int m_nPageTreeWidth = 150;
    // The tree item of each page, by page index.
    std::vector<HTREEITEM> m_pageItems;
    // The items under each parent by their text, in sibling order, so that placing a page finds its
    // node without walking every sibling: 10,000 scanned networks are siblings. Before nFree every
    // item has its page.
    struct CSameText
    {
        std::vector<HTREEITEM> items;
        size_t nFree = 0;
    };
    std::map<std::pair<HTREEITEM, std::string>, CSameText> m_itemsByText;

private:
    LRESULT OnTreeSelChanging(const NMTREEVIEW* pNotify);
    BOOL OnPageKey(WPARAM nKey);
    void OnTreeSelChanged();
    static HTREEITEM DeepestLastItem(CTreeCtrl* pTree, HTREEITEM hItem);
    void WidenPageTreeForItems();
};

} // namespace TreePropSheet
