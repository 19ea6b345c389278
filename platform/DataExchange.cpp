// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DataExchange.h"

#include "platform/Wnd.h"

namespace {
CWnd* Control(CDataExchange* pDX, int nIDC)
{
    return pDX->m_pDlgWnd ? pDX->m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
}
} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    CWnd* pControl = Control(pDX, nIDC);
    if (!pControl)
        return;
    if (pDX->m_bSaveAndValidate)
        pControl->GetWindowText(value);
    else
        pControl->SetWindowText(value);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, CString& value)
{
    DDX_Text(pDX, nIDC, value);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    CWnd* pControl = Control(pDX, nIDC);
    if (!pControl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(pControl->SendMessage(BM_GETCHECK));
    else
        pControl->SendMessage(BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.GetSafeHwnd() || !pDX->m_pDlgWnd)
        return;
    pDX->m_pDlgWnd->SubclassDlgItem(nIDC, rControl);
}
