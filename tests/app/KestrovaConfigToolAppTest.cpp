// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/KestrovaConfigToolApp.h"

#include "TestSupport.h"
#include "documents/ConfigDocument.h"
#include "platform/PropertySheet.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The sheet's caption, its pages in order with "* " before the one shown, and the card it shows.
QStringList Look(CPropertySheet& sheet)
{
    QStringList seen{sheet.GetSafeHwnd()->windowTitle()};
    for (int i = 0; i < sheet.GetPageCount(); ++i)
        seen << QString(i == sheet.GetActiveIndex() ? "* " : "")
                + QString::fromUtf8(sheet.GetTabControl()->GetItemText(i).Bytes().c_str());
    const auto* pCard = sheet.GetSafeHwnd()->findChild<QLabel*>("buttonRowText");
    return seen << (pCard ? pCard->accessibleName() : "no card shown");
}

QStringList ReadLines(const std::string& path)
{
    return QString::fromStdString(ReadFileBytes(path)).split('\n', Qt::SkipEmptyParts);
}

} // namespace

// Each folder tests/data/startup-* holds a drive's Configuration.xml and scan.xml (either may be
// absent), the pages expected in order in expected-pages.txt with "* " before the one shown first,
// and the messages expected on the way in expected-messages.txt. Escape then leaves the file as it was.
TEST(Startup, EveryStartupCaseGivesItsPagesInOrderShowsTheRightOneFirstAndEscapeSavesNothing)
{
    const QStringList cases = QDir(QString::fromStdString(TestDataPath(""))).entryList({"startup-*"}, QDir::Dirs);
    ASSERT_GE(cases.size(), 9);
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        const std::string folder = TestDataPath(name.toStdString());
        CScratchDrive drive;
        const QDir files(QString::fromStdString(folder));
        for (const QString& file : files.entryList({"*.xml"}, QDir::Files))
            QFile::copy(files.filePath(file),
                        QString::fromStdString(drive.Path().Bytes() + "/System/Configuration/") + file);

        CModalScript script;
        QStringList seen;
        RunApplication(
            drive,
            [&](CPropertySheet& sheet) {
                seen = Look(sheet);
                QTest::keyClick(sheet.GetSafeHwnd(), Qt::Key_Escape);
            },
            &script);
        EXPECT_EQ(theApp.m_pMainWnd, nullptr);
        EXPECT_EQ(theApp.m_pEmailPage, nullptr) << "pages are deleted when the sheet closes";
        EXPECT_EQ(seen,
                  QStringList{"DPF Settings"} + ReadLines(folder + "/expected-pages.txt")
                      + QStringList{QString::fromStdString("Card: " + drive.Path().Bytes())});
        QStringList messages;
        for (const SeenMessageBox& box : script.MessageBoxes())
            messages << box.caption + ": " + box.text + (box.owner ? " (owned by a window)" : "");
        EXPECT_EQ(messages,
                  ReadLines(folder + "/expected-messages.txt").replaceInStrings(QRegularExpression("^"), "Error: "));
        EXPECT_EQ(script.Unexpected(), 0);
        EXPECT_EQ(drive.ReadConfig(), ReadFileBytes(folder + "/Configuration.xml"));
        EXPECT_EQ(drive.ConfigExists(), files.exists("Configuration.xml"));
    }
}

TEST(Startup, DemoDriveOpensWithoutMessagesOnItsFirstNetworkAndSavesBackUnchanged)
{
    CModalScript script;
    RunDemoApplication(
        [&](CPropertySheet& sheet) {
            EXPECT_EQ(Look(sheet).value(1), "* Configured Networks::Hendriksen Home");
            // Saving the loaded document as it is must give back the frame's file byte for byte.
            EXPECT_TRUE(SaveConfigDocument(&sheet));
            EXPECT_EQ(ReadFileBytes(theConfigSavePath.Bytes()),
                      ReadFileBytes(std::string(DPF_DEMO_DRIVE_DIR) + "/System/Configuration/Configuration.xml"));
            SaveScreenshot(sheet.GetSafeHwnd(), "sheet-demo-drive");
            PressSheetButton(sheet, IDCANCEL);
        },
        &script);
    EXPECT_TRUE(script.MessageBoxes().empty());
}
