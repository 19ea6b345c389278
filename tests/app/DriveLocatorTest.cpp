// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DriveLocator.h"

#include "TestSupport.h"

#include "documents/ConfigDocument.h"
#include "platform/MountedVolumes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Folders are below a scratch root, where cards A, B, C and A/Nested hold System/Configuration and
// Plain does not.
struct DriveOrderCase
{
    const char* pszName;
    const char* pszCurrentDir;
    const char* pszExecutableDir; // empty: unknown
    const char* pszMounts; // "folder:type:label ..."
    const char* pszExpected; // "folder|label ...", in the order found
};

class DriveOrder : public ::testing::TestWithParam<DriveOrderCase>
{
protected:
    void SetUp() override
    {
        for (const char* pszFolder :
             {"A/Photos/2026", "A/Nested/Deep", "B/Tools/bin", "C/System/Configuration", "A/System/Configuration",
              "A/Nested/System/Configuration", "B/System/Configuration", "Plain/Downloads"})
            QDir().mkpath(m_root.path() + "/" + pszFolder);
    }
    void TearDown() override { UseTestMountTable(); }

    CString At(const QString& relative) const
    {
        return relative.isEmpty() ? CString() : CString((m_root.path() + "/" + relative).toStdString());
    }

    QTemporaryDir m_root;
};

} // namespace

TEST_P(DriveOrder, FindsTheCardsInItsOrder)
{
    const DriveOrderCase& c = GetParam();
    std::vector<CMountedVolume> table;
    for (const QString& mount : QString(c.pszMounts).split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = (mount + ":").split(':');
        table.push_back({At(parts[0]) + "/", CString(parts[2].toStdString()), CString(parts[1].toStdString())});
    }
    UseTestMountTable(table);

    QStringList found;
    for (const CFrameCard& card : FindFrameCards(At(c.pszCurrentDir), At(c.pszExecutableDir)))
        found << QString::fromStdString(card.strFolder.Bytes()).remove(0, m_root.path().size() + 1) + "|"
                + QString::fromStdString(card.strLabel.Bytes());
    EXPECT_EQ(found.join(' '), c.pszExpected);
}

const DriveOrderCase kDriveOrders[] = {
    {"CurrentFolderOnACardComesFirst", "A/Photos/2026", "B/Tools/bin", "C:vfat:C", "A|"},
    {"NearestCardAboveWins", "A/Nested/Deep", "", "", "A/Nested|"},
    {"ExecutablesFolderComesNext", "Plain/Downloads", "B/Tools/bin", "C:vfat:C", "B|"},
    {"ThenTheOneMountedCard", "Plain/Downloads", "Plain", "Plain:ext4 C:vfat:FRAME", "C|FRAME"},
    // tmpfs can be a card; the kernel's and other machines' file systems are never looked at.
    {"PseudoAndNetworkFileSystemsAreSkipped", "Plain", "",
     "A:proc B:nfs4 A/Nested:fuse.sshfs B/Tools:cifs C:tmpfs:scratch", "C|scratch"},
    {"EveryCardMountedIsListedOnce", "Plain", "Plain", "B:vfat:FRAME Plain:ext4 C:exfat B:vfat:FRAME", "B|FRAME C|"},
    {"NoCardAnywhere", "Plain/Downloads", "Plain", "Plain:ext4:home", ""},
};

INSTANTIATE_TEST_SUITE_P(DriveLocator, DriveOrder, ::testing::ValuesIn(kDriveOrders),
                         [](const auto& info) { return std::string(info.param.pszName); });

// The paths then begin with the folder, not with two slashes.
TEST(DriveLocator, TheRootOfTheFileSystemIsTheEmptyDriveText)
{
    SetConfigPaths(NormaliseDriveText("/"));
    EXPECT_EQ(theConfigLoadPath + "|" + theScanPath,
              "/System/Configuration/Configuration.xml|/System/Configuration/scan.xml");
}
