#pragma once
// CPropertySheet: a modal window of property pages with OK, Cancel and Apply. The sheet keeps its
// pages in the order they were added; a tab bar (the sheet's "tab control") holds their titles and
// the current page. OK and Apply first let the shown page leave, then call OnApply on every page
// whose window exists, in page order, and stop at the first page that answers FALSE, leaving the
// sheet open. Cancel, Escape and the close box end the sheet without any OnApply.

#include "platform/PropertyPage.h"

#include <QPointer>

#include <vector>

class QPushButton;
class QTabBar;

// The sheet header: flags (PSH_HASHELP) and the page shown first.
struct PROPSHEETHEADER
{
    DWORD dwFlags;
    UINT nStartPage;
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

    // Runs the sheet until OK, Cancel or the close box; returns IDOK or IDCANCEL.
    virtual INT_PTR DoModal();

protected:
    // Runs once the sheet window exists: lays out the tab bar, the page area and the buttons and
    // shows the first page.
    virtual BOOL OnInitDialog();

private:
    friend class CPropertyPage;
    class CSheetDialog;

    void UpdateApplyButton();
    BOOL ApplyPages();
    void OnOK();
    void OnCancel();
    void OnApplyNow();
    void OnTabChanged(int nIndex);
    void ShowPage(int nPage);

    CString m_strCaption;
    CWnd* m_pParentWnd;
    std::vector<CPropertyPage*> m_pages;
    int m_nActive = -1;
    QPointer<QTabBar> m_pTabBar;
    QPointer<QWidget> m_pPageArea;
    QPointer<QPushButton> m_pApplyButton;
};
