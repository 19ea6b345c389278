// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageAddressBook.h"

#include "documents/ConfigDocument.h"
#include "documents/ConfigSection.h"
#include "pages/ListEntries.h"
#include "pages/PageChecks.h"
#include "res/Resource.h"

#include <string>

CPropPageAddressBook::CPropPageAddressBook() : CPropertyPage(IDD_ADDRESS_BOOK) {}

void CPropPageAddressBook::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DENIED, m_lstDenied);
    DDX_Control(pDX, IDC_APPROVED, m_lstApproved);
    DDX_Control(pDX, IDC_CONTACTS, m_lstContacts);
}

const CCommandMap& CPropPageAddressBook::GetCommandMap() const
{
    static const CCommandMap map = {
        OnBnClicked(IDC_ADD_CONTACT, &CPropPageAddressBook::OnAddContact),
        OnBnClicked(IDC_ADD_APPROVED, &CPropPageAddressBook::OnAddApproved),
        OnBnClicked(IDC_ADD_DENIED, &CPropPageAddressBook::OnAddDenied),
        OnBnClicked(IDC_REMOVE_CONTACT, &CPropPageAddressBook::OnRemoveContact),
        OnBnClicked(IDC_REMOVE_APPROVED, &CPropPageAddressBook::OnRemoveApproved),
        OnBnClicked(IDC_REMOVE_DENIED, &CPropPageAddressBook::OnRemoveDenied),
        OnLvnDeleteKey(IDC_CONTACTS, &CPropPageAddressBook::OnRemoveContact),
        OnLvnDeleteKey(IDC_APPROVED, &CPropPageAddressBook::OnRemoveApproved),
        OnLvnDeleteKey(IDC_DENIED, &CPropPageAddressBook::OnRemoveDenied),
    };
    return map;
}

BOOL CPropPageAddressBook::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    LoadList(m_lstContacts, "First, 80; Last, 80; Address, 250", "AddressBook", "EmailDetails");
    LoadList(m_lstApproved, "Address, 250", "AEmailAddresses", "AEmailAddress");
    LoadList(m_lstDenied, "Address, 250", "DEmailAddresses", "DEmailAddress");
    return FALSE;
}

void CPropPageAddressBook::LoadList(CReportCtrl& list, const char* pszSpec, const char* pszGroup, const char* pszEntry)
{
    list.SetColumnHeader(pszSpec);
    const TiXmlElement* pBook = theConfigElement->FirstChildElement("EmailAddressBook");
    const TiXmlElement* pGroup = pBook ? pBook->FirstChildElement(pszGroup) : nullptr;
    const bool bContacts = std::string(pszEntry) == "EmailDetails";
    for (const TiXmlElement* p = pGroup ? pGroup->FirstChildElement(pszEntry) : nullptr; p;
         p = p->NextSiblingElement(pszEntry)) {
        // Each entry after the last: equal names then keep the file's order through the stable sort
        // (entries put at the top came out reversed, and swapped places at every confirm), and no
        // row is moved for each one that comes.
        // The row comes with its first text, read from the document without a copy.
        if (bContacts) {
            const int nRow = list.InsertItem(list.GetItemCount(), GetChildTextPtr(p, "ABFname"));
            list.SetItemText(nRow, 1, GetChildTextPtr(p, "ABLname"));
            list.SetItemText(nRow, 2, GetChildTextPtr(p, "ABEmailAddress"));
        } else {
            list.InsertItem(list.GetItemCount(), GetElementTextPtr(p));
        }
    }
    list.SetGridLines(TRUE);
    list.SortItems(0, TRUE);
}

namespace {
CString AddressProblem(const CString& strAddress)
{
    return EmailAddressProblem(strAddress, "Address");
}
} // namespace

void CPropPageAddressBook::OnAddContact()
{
    if (AddListEntry(this, m_lstContacts, "Enter Contact Info",
                     {{"First:", {}}, {"Last:", {}}, {"Address:", AddressProblem}}))
        SetModified(TRUE);
}

void CPropPageAddressBook::OnAddApproved()
{
    if (AddListEntry(this, m_lstApproved, "Enter Approved Sender", {{"Address:", AddressProblem}}))
        SetModified(TRUE);
}

void CPropPageAddressBook::OnAddDenied()
{
    if (AddListEntry(this, m_lstDenied, "Enter Denied Sender", {{"Address:", AddressProblem}}))
        SetModified(TRUE);
}

void CPropPageAddressBook::RemoveFrom(CReportCtrl& list)
{
    if (RemoveSelectedEntries(list))
        SetModified(TRUE);
}

void CPropPageAddressBook::OnRemoveContact()
{
    RemoveFrom(m_lstContacts);
}

void CPropPageAddressBook::OnRemoveApproved()
{
    RemoveFrom(m_lstApproved);
}

void CPropPageAddressBook::OnRemoveDenied()
{
    RemoveFrom(m_lstDenied);
}

BOOL CPropPageAddressBook::OnApply()
{
    WriteSection(theConfigElement);
    return CPropertyPage::OnApply();
}

namespace {

CString Count(const CReportCtrl& list)
{
    CString strCount;
    strCount.Format("%d", list.GetItemCount(RC_ITEM_ALL));
    return strCount;
}

// The rows of a list as one text each.
CSectionElement Addresses(const char* pszEntry, const CReportCtrl& list)
{
    return CSectionElement::Rows(pszEntry, {}, list.GetItemCount(RC_ITEM_ALL),
                                 [&list](int nRow, int) { return list.GetItemTextPtr(nRow, 0); });
}

} // namespace

bool CPropPageAddressBook::WriteSection(TiXmlElement* pConfiguration)
{
    UpdateData(TRUE);
    using E = CSectionElement;
    // The list shows first name, last name and address; the file keeps the address first.
    static const int kContactColumns[] = {2, 0, 1};
    const auto contact = [this](int nRow, int nField) {
        return m_lstContacts.GetItemTextPtr(nRow, kContactColumns[nField]);
    };
    RewriteSection(
        pConfiguration, pConfiguration->FirstChildElement("EmailAddressBook"),
        E::Group("EmailAddressBook",
                 {E::Group("AddressBook",
                           {E::Text("NumEmailDetails", Count(m_lstContacts)),
                            E::Rows("EmailDetails", {"ABEmailAddress", "ABFname", "ABLname"},
                                    m_lstContacts.GetItemCount(RC_ITEM_ALL), contact)}),
                  E::Group("DEmailAddresses",
                           {E::Text("NumDEmailAddress", Count(m_lstDenied)), Addresses("DEmailAddress", m_lstDenied)}),
                  E::Group("AEmailAddresses",
                           {E::Text("NumAEmailAddress", Count(m_lstApproved)),
                            Addresses("AEmailAddress", m_lstApproved)})}));
    return true;
}
