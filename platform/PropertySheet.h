// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CPropertySheet: a modal window of property pages with OK, Cancel and Apply. The sheet keeps its
// pages in the order they were added; its tab control holds their titles and the current page. OK and
// Apply first let the shown page leave, then ask CheckInput of every page whose window exists, in page
// order; the first page that refuses is selected and the sheet stays open with nothing written. Only
// when all pass does each modified page's OnApply write its changes, and the commit handler then
// saves them once. Cancel, Escape and the close box end the sheet without any OnApply, after asking whether to
// discard changes when a page is modified.
//
// Adding and selecting pages, and every key press inside the sheet, go through the sheet's
// own messages (PSM_...), so that a derived sheet can follow or take them over in WindowProc.

#include "platform/PropertyPage.h"
#include "platform/TabCtrl.h"

class QSize;

#include <functional>
#include <memory>
#include <vector>

// The sheet header: flags (PSH_HASHELP) and the page shown first.
struct PROPSHEETHEADER
{
    DWORD dwFlags;
    UINT nStartPage;
};

// The sheet's messages: wParam and lParam as each says.
enum : UINT {
    PSM_SETCURSEL = 0x0465, // wParam: page index; lParam: the page, or 0
    PSM_ADDPAGE = 0x0467, // lParam: the page
    PSM_ISDIALOGMESSAGE = 0x0475, // lParam: the MSG of a key press; TRUE when handled
    PSM_SETCURSELID = 0x0472, // lParam: the page's template id
};

class CPropertySheet : public CWnd
{
public:
    CPropertySheet(const char* pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;

    PROPSHEETHEADER m_psh;

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;

    CPropertyPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
    int GetActiveIndex() const;
    // Before the window exists this chooses the page shown first. Afterwards it lets the current page
    // leave (FALSE when it refuses) and shows the chosen one.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);

    // The tab control, while the window exists.
    CTabCtrl* GetTabControl() const;
    // Several rows of tabs: this sheet always scrolls one row of tabs, so there is nothing to switch.
    void EnableStackedTabs(BOOL /*bStacked*/) {}

    // A line of text at the left of the button row, beside OK, such as what the sheet is editing. Set
    // before DoModal. Too long a text is shortened in its middle; the whole of it is the label's
    // tooltip and what screen readers read.
    void SetButtonRowText(const char* pszText) { m_strButtonRowText = pszText; }

    // Runs the sheet until OK, Cancel or the close box; returns IDOK or IDCANCEL.
    virtual INT_PTR DoModal();

    // Runs once per confirm, after every page's OnApply: where the pages' changes reach the disk as
    // one. It is handed the page on display as the owner of any message; FALSE keeps the sheet open.
    void SetCommitHandler(std::function<BOOL(CWnd* pOwner)> handler) { m_commit = std::move(handler); }

protected:
    // Runs once the sheet window exists: lays out the tab control, the pages' area and the buttons,
    // and shows the first page.
    virtual BOOL OnInitDialog();
    // Runs when the window is about to go, while it still exists.
    void OnDestroy() override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;
    // What the user chooses pages with: the row of tabs here, a tree in a sheet that shows one.
    virtual CWnd* GetPageSelector() const;
    // Keyboard order follows reading order: the page selector, the shown page's controls in their
    // template's order, then OK, Cancel and Apply. Pages are made when first shown, so it is set
    // again for each page shown.
    void LinkTabOrder();

private:
    friend class CPropertyPage;
    class CSheetDialog;

    void UpdateApplyButton();
    BOOL ApplyPages();
    BOOL ConfirmDiscard();
    void OnOK();
    void OnCancel();
    void OnApplyNow();
    void OnTabChanged(int nIndex);
    BOOL ChangePage(int nPage);
    void ShowPage(int nPage);
    BOOL InsertPageTab(CPropertyPage* pPage);
    void PlaceButtonRowText();
    // Screen readers meet the page selector by name, and never the tab control a derived sheet hid.
    void PrepareForScreenReaders();
    // The window can be resized from here on: the pages' area, and whatever lies along its right or
    // bottom edge, grows with the window; the buttons keep to the bottom right corner. Its least size
    // is what the largest page's layout needs at the current font, or the screen where that is smaller
    // (the pages' area then scrolls).
    void MakeResizable();
    void LayOutForSize(const QSize& size);

    CString m_strCaption;
    CString m_strButtonRowText;
    CWnd* m_pParentWnd;
    std::vector<CPropertyPage*> m_pages;
    std::function<BOOL(CWnd*)> m_commit;
    int m_nActive = -1;
    std::unique_ptr<CTabCtrl> m_pTabCtrl;
    // The widgets of the sheet window that it reaches again (the page area, Apply, the key filter),
    // and how the window was laid out.
    struct CSheetWidgets;
    std::unique_ptr<CSheetWidgets> m_pWidgets;
};
