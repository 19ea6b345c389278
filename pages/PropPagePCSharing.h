// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shared folder on the user's PC from which the frame may read pictures (SMB). The page owns the
// LocalNetSharing section of the configuration.

#include "pages/PageChecks.h"
#include "platform/PropertyPage.h"

class TiXmlElement;

enum : int {
    IDC_ENABLE_SHARING = 1011,
    IDC_SMB_WORKGROUP = 1042,
    IDC_SMB_HOST_NAME = 1043,
    IDC_SMB_SHARE_DIRECTORY = 1044,
    IDC_SMB_USER = 1045,
    IDC_SMB_PASSWORD = 1046,
    IDC_SMB_RETYPE_PASSWORD = 1048,
};

class CPropPagePCSharing : public CPropertyPage
{
public:
    CPropPagePCSharing();

    CString m_strSmbShareDirectory;
    CString m_strSmbPassword;
    CString m_strSmbRetypePassword;
    CString m_strSmbHostName;
    CString m_strSmbUser;
    CString m_strSmbWorkgroup;
    BOOL m_bSmbEnabled = FALSE;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // With sharing on, all five values must be there and the password retyped alike. With sharing
    // off, whatever is entered is stored.
    BOOL CheckInput() override;
    // Rebuilds the first LocalNetSharing section where it stands.
    BOOL OnApply() override;

    bool WriteSection(TiXmlElement* pConfiguration);
    void OnEnableSharing();
    void OnModified();
    void OnShowPassword();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CCommandMap& GetCommandMap() const override;

private:
    void LoadSection();
    void EnableEditBoxes();

    CValueChecks m_valueChecks;
};
