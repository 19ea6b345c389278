// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PasswordBoxes.h"

void ShowPasswords(CWnd& rPage, int nCheckID, std::initializer_list<int> boxes)
{
    CWnd* pCheck = rPage.GetDlgItem(nCheckID);
    const bool bShow = pCheck && pCheck->SendMessage(BM_GETCHECK) == BST_CHECKED;
    for (int nID : boxes) {
        if (CWnd* pBox = rPage.GetDlgItem(nID))
            pBox->SendMessage(EM_SETPASSWORDCHAR, bShow ? 0 : '*');
    }
}

void HidePasswords(CWnd& rPage, int nCheckID, std::initializer_list<int> boxes)
{
    if (CWnd* pCheck = rPage.GetDlgItem(nCheckID))
        pCheck->SendMessage(BM_SETCHECK, BST_UNCHECKED);
    ShowPasswords(rPage, nCheckID, boxes);
}
