// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CPropertyPage: one page of a property sheet, built from a dialog template. Its window is made the
// first time the sheet shows it; OnInitDialog runs then, once, and OnSetActive at every activation.
// Leaving the page runs OnKillActive, which takes the controls into the members. OK and Apply first
// ask CheckInput of every page whose window exists, and only when all of them pass call OnApply of
// each page marked modified: a confirm writes everything or nothing, and nothing the user left alone.

#include "platform/CommandMap.h"
#include "platform/DataExchange.h"
#include "platform/Wnd.h"

class CPropertySheet;

// The page header: flags (PSP_USETITLE, PSP_HASHELP) and the title used with PSP_USETITLE.
struct PROPSHEETPAGE
{
    DWORD dwFlags;
    const char* pszTitle;
};

class CPropertyPage : public CWnd
{
public:
    explicit CPropertyPage(UINT nIDTemplate);
    ~CPropertyPage() override;

    PROPSHEETPAGE m_psp;

    virtual BOOL OnInitDialog();
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    // Checks the page's input before anything is written; a page that refuses says why in a message
    // box of its own and answers FALSE. It must not change the document.
    virtual BOOL CheckInput();
    // Writes the page's changes; runs only on a modified page, after every page's CheckInput passed.
    virtual BOOL OnApply();

    // Marks the page changed (or unchanged); a changed page enables the sheet's Apply button.
    void SetModified(BOOL bChanged = TRUE);

    // TRUE: controls into members; FALSE: members into controls.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT GetTemplateID() const { return m_nIDTemplate; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual const CCommandMap& GetCommandMap() const;

private:
    friend class CPropertySheet;

    // The title shown by the sheet: the header's title with PSP_USETITLE, else the template caption.
    CString GetTitle() const;
    void CreatePageWindow(CPropertySheet* pSheet, QWidget* pParent);
    void DestroyPageWindow();
    void ConnectCommands();

    UINT m_nIDTemplate;
    CPropertySheet* m_pSheet = nullptr;
    BOOL m_bModified = FALSE;
};
