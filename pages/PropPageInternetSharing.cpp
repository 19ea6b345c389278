// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageInternetSharing.h"

#include "documents/ConfigDocument.h"
#include "documents/ConfigSection.h"
#include "documents/ScrambledText.h"
#include "pages/ListEntries.h"
#include "pages/PageChecks.h"
#include "pages/PasswordBoxes.h"
#include "res/Resource.h"

CPropPageInternetSharing::CPropPageInternetSharing() : CPropertyPage(IDD_INTERNET_SHARING)
{
    m_valueChecks.Add(
        IDC_FC_PASSWORD,
        [this]() { return PasswordLengthProblem(m_strFCPassword, "password of the FrameChannel account"); },
        [this]() { return m_strFCPassword; });
}

void CPropPageInternetSharing::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FEEDS, m_lstFeeds);
    DDX_Text(pDX, IDC_FC_USERNAME, m_strFCUsername);
    DDX_Text(pDX, IDC_FC_PASSWORD, m_strFCPassword);
    DDX_Text(pDX, IDC_FC_RETYPE_PASSWORD, m_strFCRetypePassword);
}

const CCommandMap& CPropPageInternetSharing::GetCommandMap() const
{
    static const CCommandMap map = {
        OnBnClicked(IDC_ADD_FEED, &CPropPageInternetSharing::OnAddFeed),
        OnBnClicked(IDC_REMOVE_FEED, &CPropPageInternetSharing::OnRemoveFeed),
        OnLvnDeleteKey(IDC_FEEDS, &CPropPageInternetSharing::OnRemoveFeed),
        OnEnChange(IDC_FC_USERNAME, &CPropPageInternetSharing::OnModified),
        OnEnChange(IDC_FC_PASSWORD, &CPropPageInternetSharing::OnModified),
        OnEnChange(IDC_FC_RETYPE_PASSWORD, &CPropPageInternetSharing::OnModified),
        OnBnClicked(IDC_SHOW_PASSWORD, &CPropPageInternetSharing::OnShowPassword),
    };
    return map;
}

BOOL CPropPageInternetSharing::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const TiXmlElement* pSection = theConfigElement->FirstChildElement("RSSandFrameChannel");
    if (const TiXmlElement* pChannel = pSection ? pSection->FirstChildElement("FrameChannel") : nullptr) {
        m_strFCUsername = GetChildText(pChannel, "FCUsername");
        m_strFCPassword = GetScrambledText(pChannel->FirstChildElement("FCPassword"), CONFIG_KEY_TEXT);
        m_strFCRetypePassword = m_strFCPassword;
    }
    m_lstFeeds.SetColumnHeader("Description, 100; URL, 250");
    const TiXmlElement* pRSS = pSection ? pSection->FirstChildElement("RSS") : nullptr;
    for (const TiXmlElement* p = pRSS ? pRSS->FirstChildElement("RssDetails") : nullptr; p;
         p = p->NextSiblingElement("RssDetails")) {
        // After the last, as on the address book page: feeds of one description keep the file's order.
        const int nRow = m_lstFeeds.InsertItem(m_lstFeeds.GetItemCount(), GetChildTextPtr(p, "Description"));
        m_lstFeeds.SetItemText(nRow, 1, GetChildTextPtr(p, "URL"));
    }
    m_lstFeeds.SetGridLines(TRUE);
    m_lstFeeds.SortItems(0, TRUE);
    UpdateData(FALSE);
    m_valueChecks.RememberLoaded();
    m_valueChecks.Mark(*this);
    return TRUE;
}

void CPropPageInternetSharing::OnAddFeed()
{
    const auto urlProblem = [](const CString& strURL) { return FeedURLProblem(strURL, "URL"); };
    if (AddListEntry(this, m_lstFeeds, "Enter RSS Feed Info", {{"Description:", {}}, {"URL:", urlProblem}}))
        SetModified(TRUE);
}

void CPropPageInternetSharing::OnRemoveFeed()
{
    if (RemoveSelectedEntries(m_lstFeeds))
        SetModified(TRUE);
}

void CPropPageInternetSharing::OnModified()
{
    UpdateData(TRUE);
    m_valueChecks.Mark(*this);
    SetModified(TRUE);
}

BOOL CPropPageInternetSharing::OnSetActive()
{
    HidePasswords(*this, IDC_SHOW_PASSWORD, {IDC_FC_PASSWORD, IDC_FC_RETYPE_PASSWORD});
    return CPropertyPage::OnSetActive();
}

void CPropPageInternetSharing::OnShowPassword()
{
    ShowPasswords(*this, IDC_SHOW_PASSWORD, {IDC_FC_PASSWORD, IDC_FC_RETYPE_PASSWORD});
}

BOOL CPropPageInternetSharing::CheckInput()
{
    UpdateData(TRUE);
    // Without an account the password boxes are not in use: whatever they hold is stored as it is.
    if (!m_strFCUsername.IsEmpty()) {
        const char* pszMessage = nullptr;
        if (m_strFCPassword.IsEmpty())
            pszMessage = "You must provide password information for the FrameChannel account!";
        else if (m_strFCPassword != m_strFCRetypePassword)
            pszMessage = "Plese check your password information for the FrameChannel account!";
        if (pszMessage) {
            MessageBox(pszMessage, "Error", MB_OK);
            return FALSE;
        }
    }
    return m_valueChecks.Check(*this);
}

BOOL CPropPageInternetSharing::OnApply()
{
    WriteSection(theConfigElement);
    return CPropertyPage::OnApply();
}

bool CPropPageInternetSharing::WriteSection(TiXmlElement* pConfiguration)
{
    UpdateData(TRUE);
    using E = CSectionElement;
    const int nFeeds = m_lstFeeds.GetItemCount(RC_ITEM_ALL);
    CString strCount;
    strCount.Format("%d", nFeeds);
    const auto feed = [this](int nRow, int nField) { return m_lstFeeds.GetItemTextPtr(nRow, nField); };
    RewriteSection(
        pConfiguration, pConfiguration->FirstChildElement("RSSandFrameChannel"),
        E::Group("RSSandFrameChannel",
                 {E::Group("RSS",
                           {E::Text("NumURL", strCount), E::Rows("RssDetails", {"Description", "URL"}, nFeeds, feed)}),
                  E::Group("FrameChannel",
                           {E::Text("FCUsername", m_strFCUsername), E::Scrambled("FCPassword", m_strFCPassword)})}));
    return true;
}
