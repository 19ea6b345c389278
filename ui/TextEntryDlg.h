// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CTextEntryDlg: a small modal window that asks for up to ten lines of text at once, one labelled edit
// box per field, with "OK" and "Cancel". It is built at run time, in pixels, so the number of fields
// decides its height; "OK" is enabled only while every field holds text.

#include "platform/Controls.h"
#include "platform/Font.h"

#include <functional>

typedef unsigned char BYTE;

class CTextEntryDlg : public CWnd
{
public:
    enum { MAX_FIELDS = 10, FIRST_FIELD_ID = 8000 };
    // Why a field's text cannot be used, or an empty string when it can; the caller knows the rule.
    using FieldCheck = std::function<CString(const CString&)>;

    CTextEntryDlg();
    ~CTextEntryDlg() override;

    // Appends a field; an eleventh and later field is ignored. Call before DoModal. A field with a
    // check is flagged while its text fails it, and OK then says why and keeps the window open.
    void AddField(const char* pszLabel, const char* pszDefaultText = "", BYTE bPassword = 0,
                  FieldCheck check = FieldCheck());
    // Shows the window modally: IDOK when closed with OK, IDCANCEL with Cancel, Escape or the close
    // box, 0 when the window could not be made. Without a parent the application's main window owns it.
    int DoModal(CWnd* pParent, const char* pszTitle);
    // The text a field held when the window closed; empty past the field count.
    CString GetFieldText(int nIndex) const;
    BOOL AreAllFieldsFilled() const;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void CopyResults();
    void UpdateOkButton();
    CString FieldProblem(int nIndex) const;
    // Refuses the first field whose text fails its check; TRUE when every field passes.
    BOOL CheckFields();

    int m_nFields = 0;
    CEdit m_edits[MAX_FIELDS];
    CStatic m_labels[MAX_FIELDS];
    CString m_results[MAX_FIELDS];
    CString m_defaults[MAX_FIELDS];
    CString m_labelTexts[MAX_FIELDS];
    BYTE m_passwords[MAX_FIELDS] = {};
    FieldCheck m_checks[MAX_FIELDS];
    CFont m_font;
    CButton m_cancelButton;
    CButton m_okButton;
};
