// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CardChooserDlg.h"

#include "platform/FolderPickerDialog.h"

#include <algorithm>
#include <string>

namespace {
// The window's own layout, in pixels, at the usual 9- or 10-point desktop font; a larger font widens
// the buttons and the window (see DoModal).
const int kWidth = 520;
const int kMargin = 8;
const int kPromptHeight = 28;
const int kListHeight = 150;
const int kButtonHeight = 24;
const int kButtonWidth = 110;
const int kLabelColumn = 150;

// A volume without a label is named after the folder it is mounted at, as file managers do.
CString ShownLabel(const CFrameCard& card)
{
    if (!card.strLabel.IsEmpty())
        return card.strLabel;
    const std::string& folder = card.strFolder.Bytes();
    const size_t nSlash = folder.rfind('/');
    return CString(nSlash == std::string::npos ? folder : folder.substr(nSlash + 1));
}

// The root of the file system is the empty drive text; the user reads it as "/".
CString ShownFolder(const CString& strFolder)
{
    return strFolder.IsEmpty() ? CString("/") : strFolder;
}
} // namespace

CCardChooserDlg::CCardChooserDlg(std::vector<CFrameCard> cards) : m_cards(std::move(cards)) {}
CCardChooserDlg::~CCardChooserDlg() = default;

int CCardChooserDlg::DoModal()
{
    // The layout is measured in the window's font, the desktop's: at a large font the buttons, the
    // prompt and the window grow with their texts rather than cut them.
    m_font.CreatePointFont(80, "MS Sans Serif");
    const char* const pszPrompt = m_cards.empty() ? "No frame card was found. Plug one in, or choose its folder."
                                                  : "Choose the card whose settings you want to edit.";
    const char* const pszFolder = "Choose Folder\xE2\x80\xA6";
    int nButtonWidth = kButtonWidth;
    for (const char* pszText : {pszFolder, "Open", "Cancel"})
        nButtonWidth = std::max(nButtonWidth, m_font.GetTextWidth(pszText) + 24);
    const int nButtonHeight = std::max(kButtonHeight, m_font.GetHeight() + 8);
    const int nWidth = std::max(
        {kWidth, m_font.GetTextWidth(pszPrompt) + 2 * kMargin + 8, 3 * nButtonWidth + 4 * kMargin + kMargin});
    const int nListTop = kMargin + std::max(kPromptHeight, m_font.GetHeight() + 10);
    const int nButtonTop = nListTop + kListHeight + kMargin;
    if (!CreateEx(0, "Choose the Frame's Card", 0, 0, 0, nWidth, nButtonTop + nButtonHeight + kMargin, nullptr))
        return 0;
    CenterWindow();
    SetFont(&m_font);

    m_prompt.Create(pszPrompt, WS_CHILD | WS_VISIBLE | SS_NOPREFIX,
                    CRect(kMargin, kMargin, nWidth - kMargin, nListTop - 4), this, IDC_STATIC);
    m_list.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER,
                  CRect(kMargin, nListTop, nWidth - kMargin, nListTop + kListHeight), this, IDC_CARD_LIST);
    m_list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, "Label", LVCFMT_LEFT, kLabelColumn);
    m_list.InsertColumn(1, "Folder", LVCFMT_LEFT, nWidth - 2 * kMargin - kLabelColumn - 4);
    for (const CFrameCard& card : m_cards)
        AddCardRow(card);
    if (!m_cards.empty())
        m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

    const int nCancelLeft = nWidth - kMargin - nButtonWidth;
    const int nOpenLeft = nCancelLeft - kMargin - nButtonWidth;
    if (!m_folderButton.Create(pszFolder, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                               CRect(kMargin, nButtonTop, kMargin + nButtonWidth, nButtonTop + nButtonHeight), this,
                               IDC_CHOOSE_FOLDER)
        || !m_openButton.Create("Open", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                CRect(nOpenLeft, nButtonTop, nOpenLeft + nButtonWidth, nButtonTop + nButtonHeight),
                                this, IDOK)
        || !m_cancelButton.Create(
            "Cancel", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
            CRect(nCancelLeft, nButtonTop, nCancelLeft + nButtonWidth, nButtonTop + nButtonHeight), this, IDCANCEL)) {
        DestroyWindow();
        return 0;
    }
    for (CWnd* pControl :
         {static_cast<CWnd*>(&m_prompt), static_cast<CWnd*>(&m_list), static_cast<CWnd*>(&m_folderButton),
          static_cast<CWnd*>(&m_openButton), static_cast<CWnd*>(&m_cancelButton)})
        pControl->SetFont(&m_font);
    UpdateOpenButton();

    if (m_cards.empty())
        m_folderButton.SetFocus();
    else
        m_list.SetFocus();
    SetTimer(IDT_WATCH_MOUNTS, WATCH_INTERVAL);
    const int nResult = RunModalLoop();
    KillTimer(IDT_WATCH_MOUNTS);
    ShowWindow(SW_HIDE);
    DestroyWindow();
    return nResult;
}

void CCardChooserDlg::AddCardRow(const CFrameCard& card)
{
    const int nRow = m_list.InsertItem(m_list.GetItemCount(), ShownLabel(card));
    m_list.SetItemText(nRow, 1, ShownFolder(card.strFolder));
}

void CCardChooserDlg::UpdateOpenButton()
{
    m_openButton.EnableWindow(m_list.GetItemCount() > 0);
}

void CCardChooserDlg::OnTimer(UINT nIDEvent)
{
    if (nIDEvent == IDT_WATCH_MOUNTS)
        WatchMounts();
}

void CCardChooserDlg::WatchMounts()
{
    // While the folder window or a message is up, the user is busy with it: a card opened from under
    // them would close a window they are still reading.
    if (m_bInnerWindow)
        return;
    const std::vector<CFrameCard> mounted = FindMountedCards();
    // The user was waiting to plug the card in: the one card that appears is what they meant.
    if (m_cards.empty() && mounted.size() == 1) {
        Finish(mounted.front().strFolder);
        return;
    }
    for (const CFrameCard& card : mounted) {
        bool bListed = false;
        for (const CFrameCard& listed : m_cards)
            bListed = bListed || listed.strFolder == card.strFolder;
        if (bListed)
            continue;
        m_cards.push_back(card);
        AddCardRow(card);
        if (m_cards.size() == 1)
            m_list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    UpdateOpenButton();
}

BOOL CCardChooserDlg::Finish(const CString& strFolder)
{
    // The card may have gone, or the folder lost its settings, since it was listed or picked.
    if (!IsFrameDrive(strFolder)) {
        const CString strText = ShownFolder(strFolder)
            + " is not a frame drive: it has no System/Configuration folder.";
        m_bInnerWindow = true;
        MessageBox(strText, "Error", MB_OK);
        m_bInnerWindow = false;
        return FALSE;
    }
    m_strDrive = NormaliseDriveText(strFolder);
    EndModalLoop(IDOK);
    return TRUE;
}

void CCardChooserDlg::OpenSelected()
{
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        if (m_list.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) {
            Finish(m_cards[static_cast<size_t>(i)].strFolder);
            return;
        }
    }
}

void CCardChooserDlg::ChooseFolder()
{
    CFolderPickerDialog dialog("", "Choose the Frame's Card", this);
    m_bInnerWindow = true;
    const int nResult = dialog.DoModal();
    m_bInnerWindow = false;
    if (nResult == IDOK)
        Finish(dialog.GetFolderPath());
}

BOOL CCardChooserDlg::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    if (HIWORD(wParam) != static_cast<int>(BN_CLICKED))
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OpenSelected();
        return TRUE;
    case IDC_CHOOSE_FOLDER:
        ChooseFolder();
        return TRUE;
    case IDCANCEL:
        EndModalLoop(IDCANCEL);
        return TRUE;
    }
    return FALSE;
}
