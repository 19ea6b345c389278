// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CCardChooserDlg: "Choose the Frame's Card", shown at start-up when no single frame drive was found.
// It lists the cards on the mounted volumes, by label and folder, and lets the user open one, pick any
// other folder that is a frame drive, or cancel. While it is shown it watches the mounts: a card
// plugged in while none is listed opens at once, others join the list.

#include "app/DriveLocator.h"
#include "platform/Controls.h"
#include "platform/Font.h"
#include "platform/ListCtrl.h"

#include <vector>

class CCardChooserDlg : public CWnd
{
public:
    enum { IDC_CARD_LIST = 8100, IDC_CHOOSE_FOLDER = 8101, IDT_WATCH_MOUNTS = 1, WATCH_INTERVAL = 1000 };

    explicit CCardChooserDlg(std::vector<CFrameCard> cards);
    ~CCardChooserDlg() override;

    // IDOK with a drive chosen, IDCANCEL when the user gave up, 0 when the window could not be made.
    int DoModal();
    // The chosen drive, in drive text form.
    CString GetDriveText() const { return m_strDrive; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT nIDEvent) override;

private:
    void AddCardRow(const CFrameCard& card);
    void WatchMounts();
    void OpenSelected();
    void ChooseFolder();
    void UpdateOpenButton();
    BOOL Finish(const CString& strFolder);

    std::vector<CFrameCard> m_cards; // in the list's row order
    CString m_strDrive;
    bool m_bInnerWindow = false; // a message or the folder window is open over this one
    CFont m_font;
    CStatic m_prompt;
    CListCtrl m_list;
    CButton m_openButton;
    CButton m_folderButton;
    CButton m_cancelButton;
};
