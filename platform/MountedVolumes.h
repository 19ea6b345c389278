// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mounted file systems, as far as a frame card can be one of them. The mount table is read through
// Qt; tests put a table of their own in its place, so that most of them need no real mount.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <functional>
#include <vector>

struct CMountedVolume
{
    CString strRootPath; // where it is mounted, "/media/user/FRAME"
    CString strLabel; // the volume label, empty when it has none
    CString strFileSystemType; // "vfat", "tmpfs", "nfs4", ...
};

// Whether a file system of this type can be a card: pseudo file systems of the kernel hold no user
// files, and network ones are left alone so that a server that does not answer never holds up the
// start. Everything else, tmpfs included, can be.
BOOL IsCardFileSystemType(const CString& strType);

// The mounted volumes that can be cards, in the order of the mount table.
std::vector<CMountedVolume> GetCardVolumes();

// Where the mount table comes from; an empty source restores the system's. Only tests set one.
using MountTableSource = std::function<std::vector<CMountedVolume>()>;
void SetMountTableSource(MountTableSource source);
