// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TextEntryDlg.h"

#include "platform/WinApp.h"

#include <algorithm>

namespace {
// The window's classic layout, in pixels at its 8-point font; a larger font makes it larger.
const int kTop = 6;
const int kLabelLeft = 6;
const int kLabelWidth = 60;
const int kEditWidth = 250;
const int kEditRightMargin = 18;
const int kBoxHeight = 20;
const int kRowGap = 4;
const int kButtonWidth = 70;
// The buttons' middles, as parts of the window's width: 83 and 250 of 334 pixels.
const int kOkMiddle = 83;
const int kCancelMiddle = 250;
const int kClassicWidth = 334;
} // namespace

CTextEntryDlg::CTextEntryDlg() = default;
CTextEntryDlg::~CTextEntryDlg() = default;

void CTextEntryDlg::AddField(const char* pszLabel, const char* pszDefaultText, BYTE bPassword, FieldCheck check)
{
    if (m_nFields >= MAX_FIELDS)
        return;
    m_labelTexts[m_nFields] = pszLabel;
    m_defaults[m_nFields] = pszDefaultText;
    m_passwords[m_nFields] = bPassword;
    m_checks[m_nFields] = std::move(check);
    ++m_nFields;
}

CString CTextEntryDlg::FieldProblem(int nIndex) const
{
    CString strText;
    m_edits[nIndex].GetWindowText(strText);
    // An empty field is not flagged: the disabled OK button already says it is missing.
    return m_checks[nIndex] && !strText.IsEmpty() ? m_checks[nIndex](strText) : CString();
}

BOOL CTextEntryDlg::CheckFields()
{
    for (int i = 0; i < m_nFields; ++i) {
        const CString strProblem = FieldProblem(i);
        if (strProblem.IsEmpty())
            continue;
        MessageBox(strProblem, "Error", MB_OK);
        m_edits[i].SetFocus();
        return FALSE;
    }
    return TRUE;
}

CString CTextEntryDlg::GetFieldText(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nFields ? m_results[nIndex] : CString();
}

BOOL CTextEntryDlg::AreAllFieldsFilled() const
{
    for (int i = 0; i < m_nFields; ++i) {
        CString strText;
        m_edits[i].GetWindowText(strText);
        if (strText.IsEmpty())
            return FALSE;
    }
    return TRUE;
}

int CTextEntryDlg::DoModal(CWnd* pParent, const char* pszTitle)
{
    if (!pParent && AfxGetApp())
        pParent = AfxGetApp()->m_pMainWnd;
    const int n = m_nFields;
    m_font.CreatePointFont(80, "MS Sans Serif");

    // Everything is measured in the window's font. A label that needs more than the classic 60 pixels
    // pushes the edit boxes to the right, and the edit boxes keep room for some 18 lines' height of
    // text, so that neither a long label nor a large font leaves too little room to type in.
    const int nBoxHeight = std::max(kBoxHeight, m_font.GetHeight() + 6);
    const int nRowStep = nBoxHeight + kRowGap;
    int nLabelWidth = kLabelWidth;
    for (int i = 0; i < n; ++i)
        nLabelWidth = std::max(nLabelWidth, m_font.GetTextWidth(m_labelTexts[i]) + 4);
    const int nEditLeft = kLabelLeft + nLabelWidth;
    const int nEditWidth = std::max(kEditWidth, 18 * m_font.GetHeight());
    const int nWidth = nEditLeft + nEditWidth + kEditRightMargin;
    const int nButtonWidth = std::max(kButtonWidth,
                                      std::max(m_font.GetTextWidth("OK"), m_font.GetTextWidth("Cancel")) + 24);
    const int yb = kTop + nRowStep * n + 12;

    if (!CreateEx(0, pszTitle, 0, 0, 0, nWidth, yb + nBoxHeight + 18, pParent))
        return 0;
    CenterWindow();
    SetFont(&m_font);

    for (int i = 0; i < n; ++i) {
        const int y = kTop + nRowStep * i;
        m_labels[i].Create(m_labelTexts[i], WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                           CRect(kLabelLeft, y, kLabelLeft + nLabelWidth, y + nBoxHeight), this, IDC_STATIC);
        DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
        if (m_passwords[i])
            dwStyle |= ES_PASSWORD;
        m_edits[i].Create(dwStyle, CRect(nEditLeft, y, nEditLeft + nEditWidth, y + nBoxHeight), this,
                          FIRST_FIELD_ID + i);
        m_edits[i].SetWindowText(m_defaults[i]);
        m_labels[i].SetFont(&m_font);
        m_edits[i].SetFont(&m_font);
    }
    const int nOkLeft = nWidth * kOkMiddle / kClassicWidth - nButtonWidth / 2;
    const int nCancelLeft = nWidth * kCancelMiddle / kClassicWidth - nButtonWidth / 2;
    if (!m_okButton.Create("OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                           CRect(nOkLeft, yb, nOkLeft + nButtonWidth, yb + nBoxHeight), this, IDOK)
        || !m_cancelButton.Create("Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                  CRect(nCancelLeft, yb, nCancelLeft + nButtonWidth, yb + nBoxHeight), this,
                                  IDCANCEL)) {
        DestroyWindow();
        return 0;
    }
    m_okButton.SetFont(&m_font);
    m_cancelButton.SetFont(&m_font);
    // A button with a picture beside its text may need more room than its text alone: both grow
    // alike about their middles.
    SIZE okSize, cancelSize;
    if (m_okButton.GetIdealSize(&okSize) && m_cancelButton.GetIdealSize(&cancelSize)) {
        const int nIdealWidth = std::max(okSize.cx, cancelSize.cx);
        if (nIdealWidth > nButtonWidth) {
            const int nGrow = (nIdealWidth - nButtonWidth + 1) / 2;
            m_okButton.MoveWindow(CRect(nOkLeft - nGrow, yb, nOkLeft + nButtonWidth + nGrow, yb + nBoxHeight));
            m_cancelButton.MoveWindow(
                CRect(nCancelLeft - nGrow, yb, nCancelLeft + nButtonWidth + nGrow, yb + nBoxHeight));
        }
    }

    if (pParent)
        pParent->EnableWindow(FALSE);
    EnableWindow(TRUE);
    if (n > 0)
        m_edits[0].SetFocus();
    UpdateOkButton();
    const int nResult = RunModalLoop();
    ShowWindow(SW_HIDE);
    if (pParent) {
        pParent->EnableWindow(TRUE);
        pParent->SetFocus();
    }
    DestroyWindow();
    return nResult;
}

void CTextEntryDlg::CopyResults()
{
    for (int i = 0; i < m_nFields; ++i)
        m_edits[i].GetWindowText(m_results[i]);
}

void CTextEntryDlg::UpdateOkButton()
{
    m_okButton.EnableWindow(AreAllFieldsFilled());
}

BOOL CTextEntryDlg::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    const int nID = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    if (nCode == static_cast<int>(EN_CHANGE) && nID >= FIRST_FIELD_ID && nID < FIRST_FIELD_ID + m_nFields) {
        m_edits[nID - FIRST_FIELD_ID].MarkInvalid(FieldProblem(nID - FIRST_FIELD_ID));
        UpdateOkButton();
        return TRUE;
    }
    if (nCode != static_cast<int>(BN_CLICKED))
        return FALSE;
    if (nID == IDOK) {
        // The disabled OK button is what keeps an incomplete entry out; Enter with it disabled does
        // nothing, as a dialog's default button does.
        if (!AreAllFieldsFilled() || !CheckFields())
            return TRUE;
        CopyResults();
        EndModalLoop(IDOK);
        return TRUE;
    }
    if (nID == IDCANCEL) {
        CopyResults();
        EndModalLoop(IDCANCEL);
        return TRUE;
    }
    return FALSE;
}
