#include "app/DriveLocator.h"

#include "app/ConfigDocument.h"
#include "platform/Files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
CString Str(const QString& s)
{
    return CString(s.toStdString());
}
} // namespace

TEST(DriveLocator, NearestFolderWithTheSettingsAboveTheCurrentFolderWins)
{
    QTemporaryDir root;
    const QString drive = root.path() + "/card";
    const QString nested = drive + "/Photos/2026/Summer";
    QDir().mkpath(drive + "/System/Configuration");
    QDir().mkpath(nested);
    EXPECT_EQ(FindDriveText(Str(nested), CString()), Str(drive));
    EXPECT_EQ(FindDriveText(Str(drive), CString()), Str(drive));
    EXPECT_EQ(FindDriveText(Str(drive + "/"), CString()), Str(drive));

    // A nearer folder that also holds the settings is the drive, not the outer one.
    QDir().mkpath(nested + "/System/Configuration");
    EXPECT_EQ(FindDriveText(Str(nested), CString()), Str(nested));
}

TEST(DriveLocator, ExecutablesFolderIsSearchedNextThenTheMountPoint)
{
    QTemporaryDir elsewhere;
    QTemporaryDir stick;
    QDir().mkpath(stick.path() + "/System/Configuration");
    QDir().mkpath(stick.path() + "/Tools/bin");
    EXPECT_EQ(FindDriveText(Str(elsewhere.path()), Str(stick.path() + "/Tools/bin")), Str(stick.path()));

    const CString strMount = FindDriveText(Str(elsewhere.path()), Str(elsewhere.path()));
    EXPECT_EQ(strMount, NormaliseDriveText(GetMountPoint(Str(elsewhere.path()))));
    EXPECT_FALSE(strMount.GetLength() > 0 && strMount.Bytes().back() == '/');
}

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
