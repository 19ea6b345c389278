#include "app/DriveLocator.h"

#include "app/ConfigDocument.h"
#include "platform/MountedVolumes.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Mount
{
    const char* pszFolder; // below the scratch root
    const char* pszType;
    const char* pszLabel;
};

struct DriveOrderCase
{
    const char* pszName;
    const char* pszCurrentDir; // below the scratch root
    const char* pszExecutableDir; // below the scratch root; empty: unknown
    std::vector<Mount> mounts;
    std::vector<std::string> expected; // "folder|label", folders below the scratch root
};

// Cards A, B, C and A/Nested hold System/Configuration; Plain does not.
class DriveOrder : public ::testing::TestWithParam<DriveOrderCase>
{
protected:
    void SetUp() override
    {
        for (const char* pszCard : {"A", "A/Nested", "B", "C"})
            QDir().mkpath(m_root.path() + "/" + pszCard + "/System/Configuration");
        for (const char* pszFolder : {"A/Photos/2026", "A/Nested/Deep", "B/Tools/bin", "Plain/Downloads"})
            QDir().mkpath(m_root.path() + "/" + pszFolder);
    }
    void TearDown() override { SetMountTableSource(nullptr); }

    CString At(const char* pszRelative) const
    {
        return *pszRelative ? CString((m_root.path() + "/" + pszRelative).toStdString()) : CString();
    }

    QTemporaryDir m_root;
};

} // namespace

TEST_P(DriveOrder, FindsTheCardsInItsOrder)
{
    const DriveOrderCase& c = GetParam();
    std::vector<CMountedVolume> table;
    for (const Mount& m : c.mounts)
        table.push_back({At(m.pszFolder) + "/", m.pszLabel, m.pszType});
    SetMountTableSource([table]() { return table; });

    std::vector<std::string> found;
    for (const CFrameCard& card : FindFrameCards(At(c.pszCurrentDir), At(c.pszExecutableDir))) {
        const std::string folder = card.strFolder.Bytes();
        const std::string root = m_root.path().toStdString() + "/";
        found.push_back((folder.rfind(root, 0) == 0 ? folder.substr(root.size()) : folder) + "|"
                        + card.strLabel.Bytes());
    }
    EXPECT_EQ(found, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    DriveLocator, DriveOrder,
    ::testing::Values(
        DriveOrderCase{"CurrentFolderOnACardComesFirst", "A/Photos/2026", "B/Tools/bin", {{"C", "vfat", "C"}}, {"A|"}},
        DriveOrderCase{"NearestCardAboveWins", "A/Nested/Deep", "", {}, {"A/Nested|"}},
        DriveOrderCase{"ExecutablesFolderComesNext", "Plain/Downloads", "B/Tools/bin", {{"C", "vfat", "C"}}, {"B|"}},
        DriveOrderCase{"ThenTheOneMountedCard",
                       "Plain/Downloads",
                       "Plain",
                       {{"Plain", "ext4", ""}, {"C", "vfat", "FRAME"}},
                       {"C|FRAME"}},
        // tmpfs can be a card; the kernel's and other machines' file systems are never looked at.
        DriveOrderCase{"PseudoAndNetworkFileSystemsAreSkipped",
                       "Plain",
                       "",
                       {{"A", "proc", ""},
                        {"B", "nfs4", ""},
                        {"A/Nested", "fuse.sshfs", ""},
                        {"B/Tools", "cifs", ""},
                        {"C", "tmpfs", "scratch"}},
                       {"C|scratch"}},
        DriveOrderCase{"EveryCardMountedIsListedOnce",
                       "Plain",
                       "Plain",
                       {{"B", "vfat", "FRAME"}, {"Plain", "ext4", ""}, {"C", "exfat", ""}, {"B", "vfat", "FRAME"}},
                       {"B|FRAME", "C|"}},
        DriveOrderCase{"NoCardAnywhere", "Plain/Downloads", "Plain", {{"Plain", "ext4", "home"}}, {}}),
    [](const ::testing::TestParamInfo<DriveOrderCase>& info) { return std::string(info.param.pszName); });

TEST(DriveLocator, PathsAreTheDriveTextFollowedByTheSettingsFolder)
{
    SetConfigPaths("/media/frame");
    EXPECT_EQ(theConfigLoadPath, "/media/frame/System/Configuration/Configuration.xml");
    EXPECT_EQ(theConfigSavePath, theConfigLoadPath);
    EXPECT_EQ(theScanPath, "/media/frame/System/Configuration/scan.xml");

    // The root of the filesystem is the empty drive text: the paths then begin with the folder.
    EXPECT_EQ(NormaliseDriveText("/"), "");
    SetConfigPaths(NormaliseDriveText("/"));
    EXPECT_EQ(theConfigLoadPath, "/System/Configuration/Configuration.xml");
}
