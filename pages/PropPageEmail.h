// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame's own mail account: its address and its outgoing (SMTP) and incoming (POP) servers. The
// page owns the Email section of the configuration.

#include "pages/PageChecks.h"
#include "platform/PropertyPage.h"

class TiXmlElement;

enum : int {
    IDC_SMTP_RETYPE_PASSWORD = 1009,
    IDC_POP_RETYPE_PASSWORD = 1010,
    IDC_SMTP_SERVER_NAME = 1028,
    IDC_SMTP_PORT = 1029,
    IDC_SMTP_USER_NAME = 1030,
    IDC_SMTP_PASSWORD = 1031,
    IDC_POP_SERVER_NAME = 1032,
    IDC_POP_USER_NAME = 1033,
    IDC_POP_PASSWORD = 1034,
    IDC_POP_PORT = 1035,
    IDC_EMAIL_ADDRESS = 1036,
};

class CPropPageEmail : public CPropertyPage
{
public:
    CPropPageEmail();

    CString m_strPOPUserName;
    CString m_strPOPPassword;
    CString m_strPOPRetypePassword;
    CString m_strPOPPort;
    CString m_strPOPServerName;
    CString m_strSMTPUserName;
    CString m_strSMTPPassword;
    CString m_strSMTPRetypePassword;
    CString m_strSMTPPort;
    CString m_strSMTPServerName;
    CString m_strEmailAddress;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // Checks the outgoing, then the incoming account, then the address and the ports the user changed.
    BOOL CheckInput() override;
    // Rebuilds the Email section.
    BOOL OnApply() override;

    // Rebuilds the first Email section where it stands (at the end when there is none), keeping what
    // the page does not know of it and the stored security settings.
    bool WriteSection(TiXmlElement* pConfiguration);
    void OnModified();
    void OnShowSMTPPassword();
    void OnShowPOPPassword();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CCommandMap& GetCommandMap() const override;

private:
    void LoadSection();
    // The three checks of one server group; FALSE after showing the first failing message.
    BOOL CheckServer(const CString& strServer, const CString& strUser, const CString& strPassword,
                     const CString& strRetype, const char* pszNoAccount, const char* pszNoPassword,
                     const char* pszMismatch);

    CValueChecks m_valueChecks;
};
