// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame's address book: the contacts it can send to, and the senders whose mail it accepts or
// refuses. The page owns the EmailAddressBook section of the configuration.

#include "platform/PropertyPage.h"
#include "ui/ReportCtrl.h"

class TiXmlElement;

enum : int {
    IDC_ADD_CONTACT = 1026,
    IDC_REMOVE_CONTACT = 1029,
    IDC_ADD_APPROVED = 1030,
    IDC_REMOVE_APPROVED = 1031,
    IDC_CONTACTS = 1032,
    IDC_ADD_DENIED = 1033,
    IDC_DENIED = 1034,
    IDC_REMOVE_DENIED = 1035,
    IDC_APPROVED = 1036,
};

class CPropPageAddressBook : public CPropertyPage
{
public:
    CPropPageAddressBook();

    CReportCtrl m_lstDenied;
    CReportCtrl m_lstApproved;
    CReportCtrl m_lstContacts;

    BOOL OnInitDialog() override;
    BOOL OnApply() override;
    bool WriteSection(TiXmlElement* pConfiguration);

    void OnAddContact();
    void OnAddApproved();
    void OnAddDenied();
    void OnRemoveContact();
    void OnRemoveApproved();
    void OnRemoveDenied();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CCommandMap& GetCommandMap() const override;

private:
    void LoadList(CReportCtrl& list, const char* pszSpec, const char* pszGroup, const char* pszEntry);
    void RemoveFrom(CReportCtrl& list);
};
