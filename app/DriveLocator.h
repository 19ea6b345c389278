// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which folder is the frame's drive: the folder that holds System/Configuration. The program may be
// started from the card itself, from a folder on it, from a copy of the program kept on it, or from
// the desktop's menu with the card plugged in somewhere; the search goes in that order.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <vector>

// A card the user can choose: the volume's label and the folder the card is mounted at.
struct CFrameCard
{
    CString strLabel;
    CString strFolder;
};

// Whether the folder holds System/Configuration, that is whether it is a frame drive.
BOOL IsFrameDrive(const CString& strFolder);

// The drives to choose from, when none was named on the command line: the nearest folder holding
// System/Configuration above the current folder, else above the executable's folder, as the one
// drive; else every mounted volume whose root holds it. One entry means the drive is known; none or
// several leave the choice to the user.
std::vector<CFrameCard> FindFrameCards(const CString& strCurrentDir, const CString& strExecutableDir);

// The mounted volumes whose root is a frame drive, each folder once.
std::vector<CFrameCard> FindMountedCards();

// A drive text given by the user, in the same form: without trailing slashes, so the root of the
// file system is the empty text.
CString NormaliseDriveText(const CString& strDrive);
