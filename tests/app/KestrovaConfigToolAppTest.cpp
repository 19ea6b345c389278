#include "app/KestrovaConfigToolApp.h"

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageNetwork.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

struct StartupRun
{
    QStringList titles; // the sheet's pages, in order
    int nActive = -1; // the page shown first
    QString caption;
    std::vector<SeenMessageBox> messages;
};

// Runs start-up on a drive; messages are answered with OK, the sheet is looked at and left with
// the given action (Cancel by default).
StartupRun RunStartup(const CScratchDrive& drive, std::function<void(CPropertySheet&)> leave = nullptr)
{
    StartupRun run;
    CModalScript script;
    RunApplication(
        drive,
        [&](CPropertySheet& sheet) {
            run.caption = sheet.GetSafeHwnd()->windowTitle();
            for (int i = 0; i < sheet.GetPageCount(); ++i)
                run.titles << QString::fromUtf8(sheet.GetTabControl()->GetItemText(i).Bytes().c_str());
            run.nActive = sheet.GetActiveIndex();
            if (leave)
                leave(sheet);
            else
                PressSheetButton(sheet, IDCANCEL);
        },
        &script);
    run.messages = script.MessageBoxes();
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_EQ(theApp.m_pEmailPage, nullptr) << "pages are deleted when the sheet closes";
    return run;
}

QStringList ReadLines(const std::string& path)
{
    QStringList lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines << QString::fromStdString(line);
    return lines;
}

} // namespace

// Each folder tests/data/startup-* holds a drive's Configuration.xml and scan.xml (either may be
// absent), the pages expected in order in expected-pages.txt with "* " before the one shown first,
// and the messages expected on the way in expected-messages.txt.
TEST(Startup, EveryStartupCaseGivesItsPagesInOrderAndShowsTheRightOneFirst)
{
    const QStringList cases = QDir(QString::fromStdString(TestDataPath(""))).entryList({"startup-*"}, QDir::Dirs);
    ASSERT_GE(cases.size(), 9);
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        const std::string folder = TestDataPath(name.toStdString());
        CScratchDrive drive;
        if (QFile::exists(QString::fromStdString(folder + "/Configuration.xml")))
            drive.WriteConfig(ReadFileBytes(folder + "/Configuration.xml"));
        if (QFile::exists(QString::fromStdString(folder + "/scan.xml")))
            drive.WriteScan(ReadFileBytes(folder + "/scan.xml"));

        const StartupRun run = RunStartup(drive);

        QStringList expected = ReadLines(folder + "/expected-pages.txt");
        int nExpectedActive = -1;
        for (int i = 0; i < expected.size(); ++i) {
            if (expected[i].startsWith("* ")) {
                nExpectedActive = i;
                expected[i].remove(0, 2);
            }
        }
        EXPECT_EQ(run.caption, "DPF Settings");
        EXPECT_EQ(run.titles, expected);
        EXPECT_EQ(run.nActive, nExpectedActive);
        QStringList messages;
        for (const SeenMessageBox& box : run.messages) {
            messages << box.text;
            EXPECT_EQ(box.caption, "Error");
            EXPECT_EQ(box.owner, nullptr);
        }
        EXPECT_EQ(messages, ReadLines(folder + "/expected-messages.txt"));
    }
}

TEST(Startup, EscapeOnTheSheetSavesNothing)
{
    const std::string folder = TestDataPath("startup-home-office");
    CScratchDrive drive;
    const std::string original = ReadFileBytes(folder + "/Configuration.xml");
    drive.WriteConfig(original);
    drive.WriteScan(ReadFileBytes(folder + "/scan.xml"));
    RunStartup(drive, [](CPropertySheet& sheet) { QTest::keyClick(sheet.GetSafeHwnd(), Qt::Key_Escape); });
    EXPECT_EQ(drive.ReadConfig(), original);
}

TEST(Startup, DemoDriveOpensWithoutMessagesOnItsFirstNetworkAndSavesBackUnchanged)
{
    const std::string folder = std::string(DPF_DEMO_DRIVE_DIR) + "/System/Configuration";
    CScratchDrive drive;
    const std::string original = ReadFileBytes(folder + "/Configuration.xml");
    drive.WriteConfig(original);
    drive.WriteScan(ReadFileBytes(folder + "/scan.xml"));

    const StartupRun run = RunStartup(drive, [](CPropertySheet& sheet) {
        // Saving the loaded document as it is must give back the frame's file byte for byte.
        EXPECT_TRUE(SaveConfigDocument(&sheet));
        if (const char* pszDir = std::getenv("DPF_SCREENSHOT_DIR"))
            sheet.GetSafeHwnd()->grab().save(QString(pszDir) + "/sheet-demo-drive.png");
        ClickButton(sheet.GetDlgItem(IDCANCEL)->GetSafeHwnd());
    });
    EXPECT_TRUE(run.messages.empty());
    EXPECT_EQ(run.titles,
              (QStringList{"Configured Networks::Hendriksen Home", "Configured Networks::Studio Annex",
                           "Available Networks::Neighbour 5G", "Available Networks::Cafe Corner Guest",
                           "Available Networks::PhotoShare", "Email", "Address Book", "Internet Content Sharing",
                           "PC Sharing"}));
    EXPECT_EQ(run.nActive, 0);
    EXPECT_EQ(drive.ReadConfig(), original);
}
