#include "app/DriveLocator.h"

#include "platform/Files.h"

#include <string>

namespace {

// Walks from strStart up to the root; the root's drive text is empty, so success is told apart.
bool FindConfigurationAbove(const CString& strStart, CString& strFound)
{
    std::string dir = NormaliseDriveText(strStart).Bytes();
    for (;;) {
        if (IsDirectory(CString(dir + "/System/Configuration"))) {
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

CString NormaliseDriveText(const CString& strDrive)
{
    std::string drive = strDrive.Bytes();
    while (!drive.empty() && drive.back() == '/')
        drive.pop_back();
    return CString(drive);
}

CString FindDriveText(const CString& strCurrentDir, const CString& strExecutableDir)
{
    CString strFound;
    for (const CString& strStart : {strCurrentDir, strExecutableDir}) {
        if (!strStart.IsEmpty() && FindConfigurationAbove(strStart, strFound))
            return strFound;
    }
    return NormaliseDriveText(GetMountPoint(strCurrentDir));
}
