// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageInternetSharing.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

namespace {

class InternetSharingPageTest : public CPageTest
{
protected:
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "RSSandFrameChannel"); }
    CPropPageInternetSharing m_page;
};

} // namespace

// The card has four feeds and a FrameChannel account with the password "Stored", which fills both
// password boxes, so that it passes the checks untouched; any message box would fail the test.
TEST_F(InternetSharingPageTest, FeedsAreSortedAddedAtTheTopRemovedBySelectionAndWrittenAsShownWithTheStoredAccount)
{
    LoadDrive(m_drive, UseCase("internet-sharing-feeds"));
    CModalScript script;
    RunSheet(
        {&m_page},
        [&](CPropertySheet& sheet) {
            EXPECT_EQ(Edit(m_page, IDC_FC_RETYPE_PASSWORD)->text(), "Stored");
            EXPECT_EQ(Column(m_page.m_lstFeeds), (std::vector<std::string>{"Comics", "News", "Sports", "Weather"}));
            CtrlClickRow(m_page.m_lstFeeds, 1);
            CtrlClickRow(m_page.m_lstFeeds, 3);
            ClickButton(m_page.GetDlgItem(IDC_REMOVE_FEED)->GetSafeHwnd());
            EXPECT_EQ(Column(m_page.m_lstFeeds), (std::vector<std::string>{"Comics", "Sports"}));
            script.Then([](QDialog* pDialog) {
                EXPECT_EQ(pDialog->windowTitle(), "Enter RSS Feed Info");
                TypeAndConfirm({"Zoo", "https://zoo/feed"})(pDialog);
            });
            ClickButton(m_page.GetDlgItem(IDC_ADD_FEED)->GetSafeHwnd());
            PressSheetButton(sheet, IDOK);
        },
        &script);
    ExpectWritten();
}

TEST_F(InternetSharingPageTest, PasswordWithoutAnAccountIsStoredAsTyped)
{
    LoadDrive(m_drive, ConfigFile(""));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        TypeText(Edit(m_page, IDC_FC_PASSWORD), "MixedCase");
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_NE(Section().find("<FCPassword>" + Scrambled("MixedCase") + "</FCPassword>"), std::string::npos);
}
