// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DriveLocator.h"

#include "platform/Files.h"
#include "platform/MountedVolumes.h"

#include <string>

namespace {

// Walks from strStart up to the root; the root's drive text is empty, so success is told apart.
bool FindConfigurationAbove(const CString& strStart, CString& strFound)
{
    std::string dir = NormaliseDriveText(strStart).Bytes();
    for (;;) {
        if (IsFrameDrive(CString(dir))) {
            strFound = CString(dir);
            return true;
        }
        if (dir.empty())
            return false;
        const size_t nSlash = dir.rfind('/');
        dir = nSlash == std::string::npos ? std::string() : dir.substr(0, nSlash);
    }
}

} // namespace

BOOL IsFrameDrive(const CString& strFolder)
{
    return IsDirectory(NormaliseDriveText(strFolder) + "/System/Configuration");
}

CString NormaliseDriveText(const CString& strDrive)
{
    std::string drive = strDrive.Bytes();
    while (!drive.empty() && drive.back() == '/')
        drive.pop_back();
    return CString(drive);
}

std::vector<CFrameCard> FindMountedCards()
{
    std::vector<CFrameCard> cards;
    for (const CMountedVolume& volume : GetCardVolumes()) {
        const CString strFolder = NormaliseDriveText(volume.strRootPath);
        if (!IsFrameDrive(strFolder))
            continue;
        // A card mounted twice (a bind mount, a second mount of the same stick) is one card, and a
        // folder mounted over lists the same contents at the same place.
        bool bSeen = false;
        for (const CFrameCard& card : cards)
            bSeen = bSeen || card.strFolder == strFolder;
        if (!bSeen)
            cards.push_back({volume.strLabel, strFolder});
    }
    return cards;
}

std::vector<CFrameCard> FindFrameCards(const CString& strCurrentDir, const CString& strExecutableDir)
{
    CString strFound;
    for (const CString& strStart : {strCurrentDir, strExecutableDir}) {
        if (!strStart.IsEmpty() && FindConfigurationAbove(strStart, strFound))
            return {CFrameCard{CString(), strFound}};
    }
    return FindMountedCards();
}
