// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CFolderPickerDialog: the desktop's "choose a folder" window, run through the program's modal loop
// like every other window, so that tests can answer it.

#include "platform/AfxTypes.h"
#include "platform/String.h"

class CWnd;

class CFolderPickerDialog
{
public:
    // The folder shown first (empty: the home folder), the window's title and its owner.
    CFolderPickerDialog(const char* pszFolder, const char* pszTitle, CWnd* pParentWnd);

    // IDOK once a folder is chosen, IDCANCEL otherwise.
    int DoModal();
    // The chosen folder, without a trailing slash.
    CString GetFolderPath() const { return m_strFolder; }

private:
    CString m_strFolder;
    CString m_strTitle;
    CWnd* m_pParentWnd;
};
