// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MountedVolumes.h"

#include "platform/QtBridge.h"

#include <QStorageInfo>

#include <algorithm>
#include <cstring>

namespace {

MountTableSource& TheSource()
{
    static MountTableSource source;
    return source;
}

std::vector<CMountedVolume> ReadSystemMountTable()
{
    std::vector<CMountedVolume> volumes;
    for (const QStorageInfo& storage : QStorageInfo::mountedVolumes()) {
        if (!storage.isValid())
            continue;
        volumes.push_back({FromQString(storage.rootPath()), FromQString(storage.name()),
                           CString(storage.fileSystemType().toStdString())});
    }
    return volumes;
}

bool StartsWith(const char* psz, const char* pszPrefix)
{
    return std::strncmp(psz, pszPrefix, std::strlen(pszPrefix)) == 0;
}

} // namespace

BOOL IsCardFileSystemType(const CString& strType)
{
    static const char* const kNotCards[] = {
        // The kernel's own views of itself.
        "proc", "sysfs", "cgroup", "cgroup2", "devpts", "devtmpfs", "mqueue", "debugfs", "tracefs", "securityfs",
        "pstore", "bpf", "autofs", "configfs", "fusectl", "binfmt_misc", "hugetlbfs", "efivarfs", "rpc_pipefs", "nsfs",
        "selinuxfs", "rootfs",
        // Other machines' files: a hung server would block every look at them.
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph", "glusterfs", "fuse.sshfs", "fuse.rclone",
        "fuse.s3fs", "fuse.gvfsd-fuse", "fuse.portal"};
    const char* pszType = strType;
    if (!*pszType)
        return FALSE;
    for (const char* pszNot : kNotCards) {
        if (std::strcmp(pszType, pszNot) == 0)
            return FALSE;
    }
    // Network file systems come in families: nfs4.1, fuse.sshfs-like helpers, smb, ...
    return !StartsWith(pszType, "nfs") && !StartsWith(pszType, "cifs") && !StartsWith(pszType, "smb")
        && !StartsWith(pszType, "fuse.ssh") && !StartsWith(pszType, "cgroup");
}

std::vector<CMountedVolume> GetCardVolumes()
{
    std::vector<CMountedVolume> volumes = TheSource() ? TheSource()() : ReadSystemMountTable();
    volumes.erase(std::remove_if(volumes.begin(), volumes.end(),
                                 [](const CMountedVolume& v) { return !IsCardFileSystemType(v.strFileSystemType); }),
                  volumes.end());
    return volumes;
}

void SetMountTableSource(MountTableSource source)
{
    TheSource() = std::move(source);
}
