#include "pages/PropPageInternetSharing.h"

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "app/ScrambledText.h"
#include "platform/PropertySheet.h"

#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Feeds(const std::vector<std::string>& descriptions, const std::string& channel = "")
{
    std::string xml = "<RSSandFrameChannel><RSS><NumURL>9</NumURL>";
    for (const std::string& d : descriptions)
        xml += "<RssDetails><Description>" + d + "</Description><URL>https://x/" + d + "</URL></RssDetails>";
    return xml + "</RSS>" + channel + "</RSSandFrameChannel>";
}

class InternetSharingPageTest : public ::testing::Test
{
protected:
    void TearDown() override { ResetDocuments(); }
    QLineEdit* Edit(int nID) { return qobject_cast<QLineEdit*>(m_page.GetDlgItem(nID)->GetSafeHwnd()); }
    std::vector<std::string> Descriptions()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < m_page.m_lstFeeds.GetItemCount(); ++i)
            texts.push_back(m_page.m_lstFeeds.CListCtrl::GetItemText(i, 0).Bytes());
        return texts;
    }
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "RSSandFrameChannel"); }
    CScratchDrive m_drive;
    CPropPageInternetSharing m_page;
};

} // namespace

// A stored account fills both password boxes, so that it passes the checks untouched; any message
// box on the way would fail the test.
TEST_F(InternetSharingPageTest, FeedsAreSortedAddedAtTheTopRemovedBySelectionAndWrittenAsShownWithTheStoredAccount)
{
    const std::string password = ScrambleText("Stored", CONFIG_KEY_TEXT).Bytes();
    LoadDrive(m_drive,
              ConfigFile(Feeds({"Weather", "Comics", "Sports", "News"},
                               "<FrameChannel><FCUsername>family</FCUsername><FCPassword>" + password
                                   + "</FCPassword></FrameChannel>")));
    CModalScript script;
    RunSheet(
        {&m_page},
        [&](CPropertySheet& sheet) {
            EXPECT_EQ(Edit(IDC_FC_RETYPE_PASSWORD)->text(), "Stored");
            EXPECT_EQ(Descriptions(), (std::vector<std::string>{"Comics", "News", "Sports", "Weather"}));
            auto* pTable = qobject_cast<QTableView*>(m_page.m_lstFeeds.GetSafeHwnd());
            for (int nRow : {1, 3})
                QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  pTable->visualRect(pTable->model()->index(nRow, 0)).center());
            ClickButton(m_page.GetDlgItem(IDC_REMOVE_FEED)->GetSafeHwnd());
            EXPECT_EQ(Descriptions(), (std::vector<std::string>{"Comics", "Sports"}));
            script.Then([](QDialog* pDialog) {
                EXPECT_EQ(pDialog->windowTitle(), "Enter RSS Feed Info");
                auto edits = pDialog->findChildren<QLineEdit*>();
                std::sort(edits.begin(), edits.end(), [](QLineEdit* a, QLineEdit* b) { return a->y() < b->y(); });
                ASSERT_EQ(edits.size(), 2);
                QTest::keyClicks(edits[0], "Zoo");
                QTest::keyClicks(edits[1], "https://zoo/feed");
                QTest::keyClick(edits[1], Qt::Key_Return);
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
        TypeText(Edit(IDC_FC_PASSWORD), "MixedCase");
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_NE(Section().find("<FCPassword>" + ScrambleText("MixedCase", CONFIG_KEY_TEXT).Bytes() + "</FCPassword>"),
              std::string::npos);
}
