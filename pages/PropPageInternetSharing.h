// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Internet content for the frame: the FrameChannel account and the RSS feeds it shows. The page owns
// the RSSandFrameChannel section of the configuration.

#include "pages/PageChecks.h"
#include "platform/PropertyPage.h"
#include "ui/ReportCtrl.h"

class TiXmlElement;

enum : int {
    IDC_FEEDS = 1033,
    IDC_ADD_FEED = 1037,
    IDC_REMOVE_FEED = 1038,
    IDC_FC_USERNAME = 1039,
    IDC_FC_PASSWORD = 1040,
    IDC_FC_RETYPE_PASSWORD = 1041,
};

class CPropPageInternetSharing : public CPropertyPage
{
public:
    CPropPageInternetSharing();

    CReportCtrl m_lstFeeds;
    CString m_strFCUsername;
    CString m_strFCPassword;
    CString m_strFCRetypePassword;

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    // With an account, its password must be there and retyped alike.
    BOOL CheckInput() override;
    // Rebuilds the first RSSandFrameChannel section where it stands.
    BOOL OnApply() override;
    bool WriteSection(TiXmlElement* pConfiguration);

    void OnAddFeed();
    void OnRemoveFeed();
    void OnModified();
    void OnShowPassword();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CCommandMap& GetCommandMap() const override;

private:
    CValueChecks m_valueChecks;
};
