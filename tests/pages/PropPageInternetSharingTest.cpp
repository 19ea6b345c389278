#include "pages/PropPageInternetSharing.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

namespace {

std::string Feeds(const std::vector<std::string>& descriptions, const std::string& channel = "")
{
    std::string xml = "<RSSandFrameChannel><RSS><NumURL>9</NumURL>";
    for (const std::string& d : descriptions)
        xml += "<RssDetails><Description>" + d + "</Description><URL>https://x/" + d + "</URL></RssDetails>";
    return xml + "</RSS>" + channel + "</RSSandFrameChannel>";
}

class InternetSharingPageTest : public CPageTest
{
protected:
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "RSSandFrameChannel"); }
    CPropPageInternetSharing m_page;
};

} // namespace

// A stored account fills both password boxes, so that it passes the checks untouched; any message
// box on the way would fail the test.
TEST_F(InternetSharingPageTest, FeedsAreSortedAddedAtTheTopRemovedBySelectionAndWrittenAsShownWithTheStoredAccount)
{
    const std::string password = Scrambled("Stored");
    LoadDrive(m_drive,
              ConfigFile(Feeds({"Weather", "Comics", "Sports", "News"},
                               "<FrameChannel><FCUsername>family</FCUsername><FCPassword>" + password
                                   + "</FCPassword></FrameChannel>")));
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
    ExpectInOrder(Section(),
                  {"<NumURL>3<", "<Description>Zoo<", "<URL>https://zoo/feed<", "<Description>Comics<",
                   "<URL>https://x/Comics<", "<Description>Sports<", "<URL>https://x/Sports<", "</RSS>",
                   "<FrameChannel>", "<FCUsername>family<", "<FCPassword>" + password + "<"});
    EXPECT_EQ(Section().find("News"), std::string::npos);
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
