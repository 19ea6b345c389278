// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageEmail.h"

#include "documents/ConfigDocument.h"
#include "documents/ConfigSection.h"
#include "documents/ScrambledText.h"
#include "pages/PasswordBoxes.h"
#include "res/Resource.h"

CPropPageEmail::CPropPageEmail() : CPropertyPage(IDD_EMAIL), m_strPOPPort("110"), m_strSMTPPort("25")
{
    // Each of these may stay empty, as the frame's own file has them.
    const struct
    {
        int nID;
        CString CPropPageEmail::*pValue;
        CString (*pfnProblem)(const CString&, const char*);
        const char* pszLabel;
    } fields[] = {
        {IDC_EMAIL_ADDRESS, &CPropPageEmail::m_strEmailAddress, &EmailAddressProblem, "Frame Address"},
        {IDC_SMTP_SERVER_NAME, &CPropPageEmail::m_strSMTPServerName, &HostNameProblem,
         "name of the Outgoing Mail server"},
        {IDC_SMTP_PORT, &CPropPageEmail::m_strSMTPPort, &PortProblem, "Port of the Outgoing Mail server"},
        {IDC_POP_SERVER_NAME, &CPropPageEmail::m_strPOPServerName, &HostNameProblem,
         "name of the Incoming Mail server"},
        {IDC_POP_PORT, &CPropPageEmail::m_strPOPPort, &PortProblem, "Port of the Incoming Mail server"},
        {IDC_SMTP_PASSWORD, &CPropPageEmail::m_strSMTPPassword, &PasswordLengthProblem,
         "password of the Outgoing Mail server"},
        {IDC_POP_PASSWORD, &CPropPageEmail::m_strPOPPassword, &PasswordLengthProblem,
         "password of the Incoming Mail server"},
    };
    for (const auto& field : fields) {
        const auto pValue = field.pValue;
        const auto pfnProblem = field.pfnProblem;
        const char* pszLabel = field.pszLabel;
        m_valueChecks.Add(
            field.nID,
            [this, pValue, pfnProblem, pszLabel]() {
                return (this->*pValue).IsEmpty() ? CString() : pfnProblem(this->*pValue, pszLabel);
            },
            [this, pValue]() { return this->*pValue; });
    }
}

void CPropPageEmail::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_POP_USER_NAME, m_strPOPUserName);
    DDX_Text(pDX, IDC_POP_PASSWORD, m_strPOPPassword);
    DDX_Text(pDX, IDC_POP_RETYPE_PASSWORD, m_strPOPRetypePassword);
    DDX_Text(pDX, IDC_POP_PORT, m_strPOPPort);
    DDX_Text(pDX, IDC_POP_SERVER_NAME, m_strPOPServerName);
    DDX_Text(pDX, IDC_SMTP_USER_NAME, m_strSMTPUserName);
    DDX_Text(pDX, IDC_SMTP_PASSWORD, m_strSMTPPassword);
    DDX_Text(pDX, IDC_SMTP_RETYPE_PASSWORD, m_strSMTPRetypePassword);
    DDX_Text(pDX, IDC_SMTP_PORT, m_strSMTPPort);
    DDX_Text(pDX, IDC_SMTP_SERVER_NAME, m_strSMTPServerName);
    DDX_Text(pDX, IDC_EMAIL_ADDRESS, m_strEmailAddress);
}

const CCommandMap& CPropPageEmail::GetCommandMap() const
{
    static const CCommandMap map = {
        OnEnChange(IDC_POP_USER_NAME, &CPropPageEmail::OnModified),
        OnEnChange(IDC_POP_PASSWORD, &CPropPageEmail::OnModified),
        OnEnChange(IDC_POP_RETYPE_PASSWORD, &CPropPageEmail::OnModified),
        OnEnChange(IDC_POP_PORT, &CPropPageEmail::OnModified),
        OnEnChange(IDC_POP_SERVER_NAME, &CPropPageEmail::OnModified),
        OnEnChange(IDC_SMTP_USER_NAME, &CPropPageEmail::OnModified),
        OnEnChange(IDC_SMTP_PASSWORD, &CPropPageEmail::OnModified),
        OnEnChange(IDC_SMTP_RETYPE_PASSWORD, &CPropPageEmail::OnModified),
        OnEnChange(IDC_SMTP_PORT, &CPropPageEmail::OnModified),
        OnEnChange(IDC_SMTP_SERVER_NAME, &CPropPageEmail::OnModified),
        OnEnChange(IDC_EMAIL_ADDRESS, &CPropPageEmail::OnModified),
        OnBnClicked(IDC_SHOW_PASSWORD, &CPropPageEmail::OnShowSMTPPassword),
        OnBnClicked(IDC_SHOW_POP_PASSWORD, &CPropPageEmail::OnShowPOPPassword),
    };
    return map;
}

BOOL CPropPageEmail::OnInitDialog()
{
    LoadSection();
    CPropertyPage::OnInitDialog();
    m_valueChecks.RememberLoaded();
    m_valueChecks.Mark(*this);
    return TRUE;
}

BOOL CPropPageEmail::OnSetActive()
{
    HidePasswords(*this, IDC_SHOW_PASSWORD, {IDC_SMTP_PASSWORD, IDC_SMTP_RETYPE_PASSWORD});
    HidePasswords(*this, IDC_SHOW_POP_PASSWORD, {IDC_POP_PASSWORD, IDC_POP_RETYPE_PASSWORD});
    return CPropertyPage::OnSetActive();
}

void CPropPageEmail::OnShowSMTPPassword()
{
    ShowPasswords(*this, IDC_SHOW_PASSWORD, {IDC_SMTP_PASSWORD, IDC_SMTP_RETYPE_PASSWORD});
}

void CPropPageEmail::OnShowPOPPassword()
{
    ShowPasswords(*this, IDC_SHOW_POP_PASSWORD, {IDC_POP_PASSWORD, IDC_POP_RETYPE_PASSWORD});
}

void CPropPageEmail::LoadSection()
{
    const TiXmlElement* pEmail = theConfigElement->FirstChildElement("Email");
    if (!pEmail)
        return;
    if (pEmail->FirstChildElement("EmailAddress"))
        m_strEmailAddress = GetChildText(pEmail, "EmailAddress");
    // A server element without one of its children gives an empty field: the port then loads empty,
    // not as the default, since the user had stored it that way.
    if (const TiXmlElement* pSMTP = pEmail->FirstChildElement("SMTPServer")) {
        m_strSMTPServerName = GetChildText(pSMTP, "SMTPServerName");
        m_strSMTPUserName = GetChildText(pSMTP, "SMTPUserName");
        m_strSMTPPort = GetChildText(pSMTP, "SMTPPort");
        m_strSMTPPassword = GetScrambledText(pSMTP->FirstChildElement("SMTPPassword"), CONFIG_KEY_TEXT);
        m_strSMTPRetypePassword = m_strSMTPPassword;
    }
    if (const TiXmlElement* pPOP = pEmail->FirstChildElement("POPServer")) {
        m_strPOPServerName = GetChildText(pPOP, "POPServerName");
        m_strPOPUserName = GetChildText(pPOP, "POPUserName");
        m_strPOPPort = GetChildText(pPOP, "POPPort");
        m_strPOPPassword = GetScrambledText(pPOP->FirstChildElement("POPPassword"), CONFIG_KEY_TEXT);
        m_strPOPRetypePassword = m_strPOPPassword;
    }
}

BOOL CPropPageEmail::CheckServer(const CString& strServer, const CString& strUser, const CString& strPassword,
                                 const CString& strRetype, const char* pszNoAccount, const char* pszNoPassword,
                                 const char* pszMismatch)
{
    // Without a server the group is not in use: whatever its other boxes hold is stored as it is.
    if (strServer.IsEmpty())
        return TRUE;
    const char* pszMessage = nullptr;
    if (strUser.IsEmpty())
        pszMessage = pszNoAccount;
    else if (strPassword.IsEmpty())
        pszMessage = pszNoPassword;
    else if (strPassword != strRetype)
        pszMessage = pszMismatch;
    if (!pszMessage)
        return TRUE;
    MessageBox(pszMessage, "Error", MB_OK);
    return FALSE;
}

BOOL CPropPageEmail::CheckInput()
{
    UpdateData(TRUE);
    if (!CheckServer(m_strSMTPServerName, m_strSMTPUserName, m_strSMTPPassword, m_strSMTPRetypePassword,
                     "You must provide account information for the Outgoing Mail server!",
                     "You must provide password information for the Outgoing Mail server!",
                     "Plese check your password information for the Outgoing Mail server!"))
        return FALSE;
    if (!CheckServer(m_strPOPServerName, m_strPOPUserName, m_strPOPPassword, m_strPOPRetypePassword,
                     "You must provide account information for the Incoming Mail server!",
                     "You must provide password information for the Incoming Mail server!",
                     "Plese check your password information for the Incoming Mail server!"))
        return FALSE;
    return m_valueChecks.Check(*this);
}

BOOL CPropPageEmail::OnApply()
{
    WriteSection(theConfigElement);
    return CPropertyPage::OnApply();
}

namespace {

// The frame's mail settings may choose a secure connection this page offers no control for; a stored
// choice is kept, and "None" (a plain connection) stands only where the file had none.
CString StoredSecuritySetting(const TiXmlElement* pEmail, const char* pszServer, const char* pszSetting)
{
    const TiXmlElement* pServer = pEmail ? pEmail->FirstChildElement(pszServer) : nullptr;
    return pServer && pServer->FirstChildElement(pszSetting) ? GetChildText(pServer, pszSetting) : CString("None");
}

} // namespace

bool CPropPageEmail::WriteSection(TiXmlElement* pConfiguration)
{
    UpdateData(TRUE);
    using E = CSectionElement;
    TiXmlElement* pOld = pConfiguration->FirstChildElement("Email");
    RewriteSection(
        pConfiguration, pOld,
        E::Group(
            "Email",
            {E::Text("EmailAddress", m_strEmailAddress),
             E::Group("SMTPServer",
                      {E::Text("SMTPServerName", m_strSMTPServerName), E::Text("SMTPUserName", m_strSMTPUserName),
                       E::Scrambled("SMTPPassword", m_strSMTPPassword),
                       E::Text("SMTPSecuritySetting", StoredSecuritySetting(pOld, "SMTPServer", "SMTPSecuritySetting")),
                       E::Text("SMTPPort", m_strSMTPPort)}),
             E::Group("POPServer",
                      {E::Text("POPServerName", m_strPOPServerName), E::Text("POPUserName", m_strPOPUserName),
                       E::Scrambled("POPPassword", m_strPOPPassword),
                       E::Text("POPSecuritySetting", StoredSecuritySetting(pOld, "POPServer", "POPSecuritySetting")),
                       E::Text("POPPort", m_strPOPPort)})}));
    return true;
}

void CPropPageEmail::OnModified()
{
    UpdateData(TRUE);
    m_valueChecks.Mark(*this);
    SetModified(TRUE);
}
