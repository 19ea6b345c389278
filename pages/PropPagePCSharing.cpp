// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPagePCSharing.h"

#include "documents/ConfigDocument.h"
#include "documents/ConfigSection.h"
#include "documents/ScrambledText.h"
#include "pages/PageChecks.h"
#include "pages/PasswordBoxes.h"
#include "res/Resource.h"

namespace {
// The boxes that are in use only while sharing is on, and the check box that shows the passwords.
const int kEditBoxes[] = {IDC_SMB_WORKGROUP, IDC_SMB_HOST_NAME,       IDC_SMB_SHARE_DIRECTORY, IDC_SMB_USER,
                          IDC_SMB_PASSWORD,  IDC_SMB_RETYPE_PASSWORD, IDC_SHOW_PASSWORD};
} // namespace

CPropPagePCSharing::CPropPagePCSharing() : CPropertyPage(IDD_PC_SHARING)
{
    // With sharing off the frame never uses the password, whatever it holds.
    m_valueChecks.Add(
        IDC_SMB_PASSWORD,
        [this]() {
            return m_bSmbEnabled ? PasswordLengthProblem(m_strSmbPassword, "password of the PC account") : CString();
        },
        [this]() { return m_strSmbPassword; });
}

void CPropPagePCSharing::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SMB_SHARE_DIRECTORY, m_strSmbShareDirectory);
    DDX_Text(pDX, IDC_SMB_PASSWORD, m_strSmbPassword);
    DDX_Text(pDX, IDC_SMB_RETYPE_PASSWORD, m_strSmbRetypePassword);
    DDX_Text(pDX, IDC_SMB_HOST_NAME, m_strSmbHostName);
    DDX_Text(pDX, IDC_SMB_USER, m_strSmbUser);
    DDX_Text(pDX, IDC_SMB_WORKGROUP, m_strSmbWorkgroup);
    DDX_Check(pDX, IDC_ENABLE_SHARING, m_bSmbEnabled);
}

const CCommandMap& CPropPagePCSharing::GetCommandMap() const
{
    static const CCommandMap map = {
        OnBnClicked(IDC_ENABLE_SHARING, &CPropPagePCSharing::OnEnableSharing),
        OnEnChange(IDC_SMB_WORKGROUP, &CPropPagePCSharing::OnModified),
        OnEnChange(IDC_SMB_HOST_NAME, &CPropPagePCSharing::OnModified),
        OnEnChange(IDC_SMB_SHARE_DIRECTORY, &CPropPagePCSharing::OnModified),
        OnEnChange(IDC_SMB_USER, &CPropPagePCSharing::OnModified),
        OnEnChange(IDC_SMB_PASSWORD, &CPropPagePCSharing::OnModified),
        OnEnChange(IDC_SMB_RETYPE_PASSWORD, &CPropPagePCSharing::OnModified),
        OnBnClicked(IDC_SHOW_PASSWORD, &CPropPagePCSharing::OnShowPassword),
    };
    return map;
}

BOOL CPropPagePCSharing::OnInitDialog()
{
    LoadSection();
    CPropertyPage::OnInitDialog();
    EnableEditBoxes();
    m_valueChecks.RememberLoaded();
    m_valueChecks.Mark(*this);
    return TRUE;
}

void CPropPagePCSharing::LoadSection()
{
    const TiXmlElement* pSharing = theConfigElement->FirstChildElement("LocalNetSharing");
    const TiXmlElement* pSMB = pSharing ? pSharing->FirstChildElement("SMB") : nullptr;
    if (!pSMB)
        return;
    // Only the exact text the frame writes turns sharing on; "True" or "1" are not its words.
    m_bSmbEnabled = GetChildValue(pSMB, "SmbEnabled") == "true";
    m_strSmbWorkgroup = GetChildText(pSMB, "SmbWorkgroup");
    m_strSmbHostName = GetChildText(pSMB, "SmbHostName");
    m_strSmbUser = GetChildText(pSMB, "SmbUser");
    m_strSmbShareDirectory = GetChildText(pSMB, "SmbShareDirectory");
    m_strSmbPassword = GetScrambledText(pSMB->FirstChildElement("SmbPassword"), CONFIG_KEY_TEXT);
    m_strSmbRetypePassword = m_strSmbPassword;
}

void CPropPagePCSharing::EnableEditBoxes()
{
    for (int nID : kEditBoxes) {
        if (CWnd* pEdit = GetDlgItem(nID))
            pEdit->EnableWindow(m_bSmbEnabled);
    }
}

void CPropPagePCSharing::OnEnableSharing()
{
    UpdateData(TRUE);
    EnableEditBoxes();
    m_valueChecks.Mark(*this);
    SetModified(TRUE);
}

void CPropPagePCSharing::OnModified()
{
    UpdateData(TRUE);
    m_valueChecks.Mark(*this);
    SetModified(TRUE);
}

BOOL CPropPagePCSharing::OnSetActive()
{
    HidePasswords(*this, IDC_SHOW_PASSWORD, {IDC_SMB_PASSWORD, IDC_SMB_RETYPE_PASSWORD});
    return CPropertyPage::OnSetActive();
}

void CPropPagePCSharing::OnShowPassword()
{
    ShowPasswords(*this, IDC_SHOW_PASSWORD, {IDC_SMB_PASSWORD, IDC_SMB_RETYPE_PASSWORD});
}

BOOL CPropPagePCSharing::CheckInput()
{
    UpdateData(TRUE);
    // With sharing off nothing is checked: the boxes are not in use, and their values are stored as
    // they are.
    if (!m_bSmbEnabled)
        return TRUE;
    if (m_strSmbWorkgroup.IsEmpty() || m_strSmbHostName.IsEmpty() || m_strSmbUser.IsEmpty()
        || m_strSmbPassword.IsEmpty() || m_strSmbShareDirectory.IsEmpty()) {
        MessageBox("You must provide all information for the PC account!", "Error", MB_OK);
        return FALSE;
    }
    if (m_strSmbPassword != m_strSmbRetypePassword) {
        MessageBox("Please check password information for the PC account!", "Error", MB_OK);
        return FALSE;
    }
    return m_valueChecks.Check(*this);
}

BOOL CPropPagePCSharing::OnApply()
{
    WriteSection(theConfigElement);
    return CPropertyPage::OnApply();
}

bool CPropPagePCSharing::WriteSection(TiXmlElement* pConfiguration)
{
    UpdateData(TRUE);
    using E = CSectionElement;
    RewriteSection(
        pConfiguration, pConfiguration->FirstChildElement("LocalNetSharing"),
        E::Group("LocalNetSharing",
                 {E::Group("SMB",
                           {E::Text("SmbEnabled", m_bSmbEnabled ? "true" : "false"),
                            E::Text("SmbWorkgroup", m_strSmbWorkgroup), E::Text("SmbHostName", m_strSmbHostName),
                            E::Text("SmbUser", m_strSmbUser), E::Scrambled("SmbPassword", m_strSmbPassword),
                            E::Text("SmbShareDirectory", m_strSmbShareDirectory)})}));
    return true;
}
