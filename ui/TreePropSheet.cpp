// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TreePropSheet.h"

#include <algorithm>
#include <string>

namespace TreePropSheet {

namespace {

// Node items carry -1 (all bits set) instead of a page index.
const DWORD_PTR kNoPage = static_cast<DWORD_PTR>(-1);

void ReplaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t nPos = text.find(from); nPos != std::string::npos; nPos = text.find(from, nPos + to.size()))
        text.replace(nPos, from.size(), to);
}

} // namespace

CTreePropSheet::CTreePropSheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
{}

CTreePropSheet::~CTreePropSheet() = default;

BOOL CTreePropSheet::SetTreeMode(BOOL bTreeViewMode, BOOL bPageCaption, BOOL bTreeImages)
{
    if (GetSafeHwnd())
        return FALSE;
    m_bTreeMode = bTreeViewMode;
    if (bTreeViewMode) {
        m_bPageCaption = bPageCaption;
        m_bTreeImages = bTreeImages;
    }
    return TRUE;
}

BOOL CTreePropSheet::SetPageTreeWidth(int nWidth)
{
    if (GetSafeHwnd())
        return FALSE;
    m_nPageTreeWidth = nWidth;
    return TRUE;
}

void CTreePropSheet::SetEmptyPageFormat(const char* pszFormat)
{
    m_strEmptyPageFormat = pszFormat;
}

BOOL CTreePropSheet::SetDefaultTreeImages(CImageList* pImages)
{
    if (!pImages || pImages->GetImageCount() != 2)
        return FALSE;
    m_DefaultImages.DeleteImageList();
    int cx = 16;
    int cy = 16;
    pImages->GetImageSize(cx, cy);
    m_DefaultImages.Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 1);
    for (int i = 0; i < 2; ++i) {
        HICON hIcon = pImages->ExtractIcon(i);
        m_DefaultImages.Add(hIcon);
        DestroyIcon(hIcon);
    }
    if (GetSafeHwnd())
        RebuildPageTree();
    return TRUE;
}

CString CTreePropSheet::FormatEmptyPageText(const char* pszFormat, const char* pszNodeText)
{
    // Only "%s" (the node's text) and "%%" mean anything here: the format is text, never trusted to
    // hold what a printf-style call would read further arguments for.
    const std::string format(pszFormat ? pszFormat : "");
    std::string text;
    bool bNodeTextUsed = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
            text.push_back('%');
            ++i;
        } else if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && !bNodeTextUsed) {
            text += pszNodeText ? pszNodeText : "";
            bNodeTextUsed = true;
            ++i;
        } else {
            text.push_back(format[i]);
        }
    }
    return CString(text);
}

std::unique_ptr<CTreeCtrl> CTreePropSheet::NewPageTree()
{
    return std::make_unique<CTreeCtrl>();
}

std::unique_ptr<CPropPageFrame> CTreePropSheet::NewPageFrame()
{
    return std::make_unique<CPropPageFrameDefault>();
}

CString CTreePropSheet::SplitTitlePath(CString& strRest)
{
    const std::string rest = strRest.Bytes();
    size_t nStart = 0;
    for (;;) {
        const size_t nPos = rest.find("::", nStart);
        if (nPos == std::string::npos) {
            // The last segment is shown exactly as it stands: no escape is resolved in it.
            strRest.Empty();
            return CString(rest);
        }
        size_t nBackslashes = 0;
        while (nBackslashes < nPos && rest[nPos - 1 - nBackslashes] == '\\')
            ++nBackslashes;
        if (nPos > 0 && nBackslashes % 2 == 1) {
            nStart = nPos + 1;
            continue;
        }
        // A "::" at the very start opens an empty segment, so the split always moves on.
        std::string segment = rest.substr(0, nPos);
        ReplaceAll(segment, "\\::", "::");
        ReplaceAll(segment, "\\\\", "\\");
        strRest = CString(rest.substr(nPos + 2));
        return CString(segment);
    }
}

HTREEITEM CTreePropSheet::InsertPageTreePath(const char* pszPath, HTREEITEM hParent)
{
    CString strRest(pszPath);
    const CString strSegment = SplitTitlePath(strRest);

    // A page's own item is never shared: two pages with one title (three stored networks all called
    // "x") get sibling items with the same text, so that each can be reached. Only a node that no page
    // has taken yet is reused for the last segment.
    const bool bLast = strRest.IsEmpty();
    CSameText& sameText = m_itemsByText[{hParent, strSegment.Bytes()}];
    HTREEITEM hItem = nullptr;
    if (!bLast) {
        hItem = sameText.items.empty() ? nullptr : sameText.items.front();
    } else {
        // Pages take items in order and never give one back: the search for a free one goes on where
        // the last one ended, so that many pages of one title cost no more than many of different ones.
        while (sameText.nFree < sameText.items.size()
               && m_pPageTree->GetItemData(sameText.items[sameText.nFree]) != kNoPage)
            ++sameText.nFree;
        if (sameText.nFree < sameText.items.size())
            hItem = sameText.items[sameText.nFree];
    }

    if (!hItem) {
        hItem = m_pPageTree->InsertItem(strSegment, hParent, TVI_LAST);
        if (!hItem)
            return nullptr;
        sameText.items.push_back(hItem);
        m_pPageTree->SetItemData(hItem, kNoPage);
        if (!strRest.IsEmpty() && m_bTreeImages && m_DefaultImages.GetSafeHandle()) {
            const int nNodeImage = m_TreeImages.GetImageCount() - 2;
            m_pPageTree->SetItemImage(hItem, nNodeImage, nNodeImage);
        }
        m_pPageTree->Expand(hItem, TVE_EXPAND);
    }
    if (strRest.IsEmpty())
        return hItem;
    HTREEITEM hResult = InsertPageTreePath(strRest, hItem);
    m_pPageTree->Expand(hItem, TVE_EXPAND);
    return hResult;
}

void CTreePropSheet::RebuildPageTree()
{
    if (!m_pPageTree || !m_pPageTree->GetSafeHwnd())
        return;
    m_pPageTree->DeleteAllItems();
    m_pageItems.clear();
    m_itemsByText.clear();
    CTabCtrl* pTabs = GetTabControl();
    if (!pTabs)
        return;
    const int nPages = pTabs->GetItemCount();

    if (m_bTreeImages) {
        for (int i = m_TreeImages.GetImageCount() - 1; i >= 0; --i)
            m_TreeImages.Remove(i);
        if (m_DefaultImages.GetSafeHandle()) {
            for (int i = 0; i < 2; ++i) {
                HICON hIcon = m_DefaultImages.ExtractIcon(i);
                m_TreeImages.Add(hIcon);
                DestroyIcon(hIcon);
            }
        }
    }
    const int nImages = m_TreeImages.GetImageCount();

    for (int i = 0; i < nPages; ++i) {
        // A tab's title is read into a buffer of 260 characters, terminator included.
        std::string title = pTabs->GetItemText(i).Bytes();
        if (title.size() > 259)
            title.resize(259);
        HTREEITEM hItem = InsertPageTreePath(title.c_str());
        m_pageItems.push_back(hItem);
        if (!hItem)
            continue;
        m_pPageTree->SetItemData(hItem, static_cast<DWORD_PTR>(i));
        // Pages have no image of their own: each shows the default page image, if any.
        if (m_bTreeImages) {
            const int nImage = m_DefaultImages.GetSafeHandle() ? nImages - 1 : -1;
            m_pPageTree->SetItemImage(hItem, nImage, nImage);
        }
    }
}

HTREEITEM CTreePropSheet::FindPageItem(int nPage) const
{
    // Each page has exactly one item, remembered when the tree was built: no walk over the tree.
    if (nPage < 0 || nPage >= static_cast<int>(m_pageItems.size()))
        return nullptr;
    return m_pageItems[static_cast<size_t>(nPage)];
}

void CTreePropSheet::SelectPageItem(int nPage)
{
    if (HTREEITEM hItem = FindPageItem(nPage))
        m_pPageTree->SelectItem(hItem);
}

void CTreePropSheet::SelectCurrentPageItem()
{
    if (CTabCtrl* pTabs = GetTabControl())
        SelectPageItem(pTabs->GetCurSel());
}

BOOL CTreePropSheet::DeactivateCurrentPage()
{
    CPropertyPage* pPage = GetActivePage();
    if (!pPage || !pPage->GetSafeHwnd() || !pPage->IsWindowVisible())
        return TRUE;
    // A page whose input does not pass keeps its place.
    if (!pPage->OnKillActive())
        return FALSE;
    pPage->ShowWindow(SW_HIDE);
    return TRUE;
}

void CTreePropSheet::UpdateFrameCaption()
{
    if (!m_pPageTree || !m_pPageFrame)
        return;
    CPropertyPage* pPage = GetActivePage();
    const bool bPageShown = pPage && pPage->GetSafeHwnd() && pPage->IsWindowVisible();
    HTREEITEM hItem = m_pPageTree->GetSelectedItem();
    if (!hItem)
        return;
    const CString strText = m_pPageTree->GetItemText(hItem);
    // The frame draws its message under the page; a long one would show at the page's margins.
    m_pPageFrame->SetMessageText(bPageShown ? CString() : FormatEmptyPageText(m_strEmptyPageFormat, strText));
    if (!m_pPageFrame->IsCaptionShown() || !GetTabControl())
        return;
    HICON hIcon = nullptr;
    if (m_bTreeImages) {
        int nImage = -1;
        int nSelected = -1;
        m_pPageTree->GetItemImage(hItem, nImage, nSelected);
        hIcon = m_TreeImages.ExtractIcon(nImage);
    }
    m_pPageFrame->SetCaption(strText, hIcon);
    if (hIcon)
        DestroyIcon(hIcon);
}

HTREEITEM CTreePropSheet::DeepestLastItem(CTreeCtrl* pTree, HTREEITEM hItem)
{
    while (hItem && pTree->ItemHasChildren(hItem)) {
        HTREEITEM hChild = pTree->GetChildItem(hItem);
        while (HTREEITEM hNext = pTree->GetNextSiblingItem(hChild))
            hChild = hNext;
        hItem = hChild;
    }
    return hItem;
}

void CTreePropSheet::SelectNextItem()
{
    if (m_pPageTree && m_pPageTree->GetSafeHwnd()) {
        HTREEITEM hItem = m_pPageTree->GetSelectedItem();
        if (!hItem)
            return;
        HTREEITEM hNext = m_pPageTree->GetChildItem(hItem);
        for (HTREEITEM h = hItem; !hNext && h; h = m_pPageTree->GetParentItem(h))
            hNext = m_pPageTree->GetNextSiblingItem(h);
        if (!hNext)
            hNext = m_pPageTree->GetRootItem();
        m_pPageTree->SelectItem(hNext);
        return;
    }
    const int nActive = GetActiveIndex();
    if (nActive >= 0 && nActive < GetPageCount())
        SetActivePage(nActive + 1 < GetPageCount() ? nActive + 1 : 0);
}

void CTreePropSheet::SelectPreviousItem()
{
    if (m_pPageTree && m_pPageTree->GetSafeHwnd()) {
        HTREEITEM hItem = m_pPageTree->GetSelectedItem();
        if (!hItem)
            return;
        HTREEITEM hPrevious = nullptr;
        if (HTREEITEM hSibling = m_pPageTree->GetPrevSiblingItem(hItem))
            hPrevious = DeepestLastItem(m_pPageTree.get(), hSibling);
        else
            hPrevious = m_pPageTree->GetParentItem(hItem);
        if (!hPrevious) {
            HTREEITEM hLast = m_pPageTree->GetRootItem();
            while (HTREEITEM hNext = m_pPageTree->GetNextSiblingItem(hLast))
                hLast = hNext;
            hPrevious = DeepestLastItem(m_pPageTree.get(), hLast);
        }
        m_pPageTree->SelectItem(hPrevious);
        return;
    }
    const int nActive = GetActiveIndex();
    if (nActive >= 0 && nActive < GetPageCount())
        SetActivePage(nActive > 0 ? nActive - 1 : GetPageCount() - 1);
}

void CTreePropSheet::OffsetChildWindows(int nDx, int nDy)
{
    for (HWND hChild : GetChildWindows()) {
        CRect rect = GetWindowRectOf(hChild);
        rect.left += nDx;
        rect.right += nDx;
        rect.top += nDy;
        rect.bottom += nDy;
        MoveWindowOf(hChild, rect);
    }
}

BOOL CTreePropSheet::OnInitDialog()
{
    if (m_bTreeMode) {
        EnableStackedTabs(FALSE);
        int cx = 16;
        int cy = 16;
        if (m_DefaultImages.GetSafeHandle())
            m_DefaultImages.GetImageSize(cx, cy);
        m_TreeImages.Create(cx, cy, ILC_COLOR32 | ILC_MASK, 0, 1);
    }
    const BOOL bResult = CPropertySheet::OnInitDialog();
    if (!m_bTreeMode)
        return bResult;
    CTabCtrl* pTabs = GetTabControl();
    // A subclass that offers no frame or no tree keeps the tabs.
    m_pPageFrame = NewPageFrame();
    m_pPageTree = NewPageTree();
    if (!pTabs || !m_pPageFrame || !m_pPageTree) {
        m_pPageFrame.reset();
        m_pPageTree.reset();
        return bResult;
    }
    pTabs->ShowWindow(SW_HIDE);
    pTabs->EnableWindow(FALSE);
    const CRect frame = pTabs->GetWindowRect();

    m_pPageFrame->Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, frame, this, IDC_PAGE_FRAME);
    m_pPageFrame->ShowCaption(m_bPageCaption);

    // The sheet grows by the tree's width; everything in it moves right to make room.
    const int nTreeWidth = m_nPageTreeWidth;
    CRect window = GetWindowRect();
    window.right += nTreeWidth;
    MoveWindow(window);
    CenterWindow();
    OffsetChildWindows(nTreeWidth, 0);

    CRect tree(frame.left, frame.top, frame.left + nTreeWidth - 5, frame.bottom);

    // The caption is as high as a row of tabs, so that each page stays where the tabbed sheet put it.
    const int nCaptionHeight = CTabCtrl::MeasureHeaderHeight(this);
    m_pPageFrame->SetCaptionHeight(nCaptionHeight);

    if (!m_bPageCaption) {
        // Without a caption the room of the tab row goes: the sheet gets shorter and keeps its middle.
        CWnd* pFrameWnd = m_pPageFrame->GetFrameWnd();
        CRect frameNow = pFrameWnd->GetWindowRect();
        frameNow.top += nCaptionHeight;
        pFrameWnd->MoveWindow(frameNow);
        OffsetChildWindows(0, -nCaptionHeight);
        tree.bottom -= nCaptionHeight;
        CRect sheet = GetWindowRect();
        sheet.top += nCaptionHeight / 2;
        sheet.bottom -= nCaptionHeight - nCaptionHeight / 2;
        MoveWindow(sheet);
    }

    m_pPageTree->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT
                            | TVS_SHOWSELALWAYS | TVS_TRACKSELECT,
                        tree, this, IDC_PAGE_TREE);
    if (m_bTreeImages)
        m_pPageTree->SetImageList(&m_TreeImages, TVSIL_NORMAL);
    RebuildPageTree();
    WidenPageTreeForItems();
    if (pTabs->GetCurSel() >= 0)
        SelectPageItem(pTabs->GetCurSel());
    // The first page was shown before the tree existed.
    LinkTabOrder();
    return bResult;
}

void CTreePropSheet::WidenPageTreeForItems()
{
    // The width asked for is the least: a longer title, or a larger font, widens the tree so that no
    // item is cut, up to twice that width, so that a name of any length leaves the pages on the screen.
    CRect tree = m_pPageTree->GetWindowRect();
    const int nExtra = std::min(m_pPageTree->GetItemsWidth(), 2 * m_nPageTreeWidth - 5) - tree.Width();
    if (nExtra <= 0)
        return;
    CRect window = GetWindowRect();
    window.right += nExtra;
    MoveWindow(window);
    OffsetChildWindows(nExtra, 0);
    tree.right += nExtra;
    m_pPageTree->MoveWindow(tree);
    CenterWindow();
}

CWnd* CTreePropSheet::GetPageSelector() const
{
    if (m_pPageTree && m_pPageTree->GetSafeHwnd())
        return m_pPageTree.get();
    return CPropertySheet::GetPageSelector();
}

void CTreePropSheet::OnDestroy()
{
    CPropertySheet::OnDestroy();
    m_TreeImages.DeleteImageList();
    // Emptied first: a tree destroyed with its items in it takes them out one by one, each with a
    // search among its siblings, which is quadratic in the number of pages.
    if (m_pPageTree)
        m_pPageTree->DeleteAllItems();
    m_pPageTree.reset();
    // The items went with the tree; a later DoModal builds them anew.
    m_pageItems.clear();
    m_itemsByText.clear();
    m_pPageFrame.reset();
}

LRESULT CTreePropSheet::OnTreeSelChanging(const NMTREEVIEW* pNotify)
{
    // The sheet's own reselection during a page switch raises a nested notification: let it pass.
    if (m_bInTreeSelChange)
        return 0;
    m_bInTreeSelChange = TRUE;
    LRESULT nResult = 0;
    const int nPage = static_cast<int>(pNotify->itemNew.lParam);
    if (nPage >= 0 && nPage < static_cast<int>(m_pPageTree->GetCount())) {
        if (!SetActivePage(nPage))
            nResult = TRUE;
    } else if (!DeactivateCurrentPage()) {
        nResult = TRUE;
    }
    m_pPageTree->SetFocus();
    m_bInTreeSelChange = FALSE;
    return nResult;
}

// Ctrl+Tab and Ctrl+PgDn go to the next page, Ctrl+Shift+Tab and Ctrl+PgUp to the previous one, as in
// a tabbed window; the tree would otherwise take Ctrl+PgDn to jump to its last item.
BOOL CTreePropSheet::OnPageKey(WPARAM nKey)
{
    if (nKey == VK_NEXT || (nKey == VK_TAB && GetKeyState(VK_SHIFT) >= 0))
        SelectNextItem();
    else if (nKey == VK_PRIOR || nKey == VK_TAB)
        SelectPreviousItem();
    else
        return FALSE;
    return TRUE;
}

void CTreePropSheet::OnTreeSelChanged()
{
    UpdateFrameCaption();
}

LRESULT CTreePropSheet::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case WM_NOTIFY: {
        const auto* pNotify = reinterpret_cast<const NMTREEVIEW*>(lParam);
        if (pNotify->hdr.idFrom == IDC_PAGE_TREE) {
            if (pNotify->hdr.code == TVN_SELCHANGING)
                return OnTreeSelChanging(pNotify);
            if (pNotify->hdr.code == TVN_SELCHANGED) {
                OnTreeSelChanged();
                return 0;
            }
        }
        break;
    }
    case PSM_ADDPAGE: {
        const LRESULT nResult = CPropertySheet::WindowProc(nMsg, wParam, lParam);
        if (m_bTreeMode) {
            RebuildPageTree();
            SelectCurrentPageItem();
        }
        return nResult;
    }
    case PSM_SETCURSEL:
    case PSM_SETCURSELID: {
        const LRESULT nResult = CPropertySheet::WindowProc(nMsg, wParam, lParam);
        if (m_bTreeMode) {
            SelectCurrentPageItem();
            UpdateFrameCaption();
        }
        return nResult;
    }
    case PSM_ISDIALOGMESSAGE: {
        const auto* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (pMsg && pMsg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0)
            return OnPageKey(pMsg->wParam);
        break;
    }
    default:
        break;
    }
    return CPropertySheet::WindowProc(nMsg, wParam, lParam);
}

} // namespace TreePropSheet
