#pragma once
// Which folder is the frame's drive. The program is usually started from the frame's card or stick,
// or installed elsewhere and started with the card as its working folder; either way the drive is the
// folder that holds System/Configuration.

#include "platform/AfxTypes.h"
#include "platform/String.h"

// The nearest folder holding System/Configuration, searched from the current directory upward, then
// from the executable's folder upward; failing both, the mount point of the current directory. The
// result never ends in "/", so the root of the filesystem is the empty text.
CString FindDriveText(const CString& strCurrentDir, const CString& strExecutableDir);

// A drive text given by the user, in the same form: without trailing slashes.
CString NormaliseDriveText(const CString& strDrive);
