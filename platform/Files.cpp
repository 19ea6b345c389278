#include "platform/Files.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Paths are bytes: a card's folder name may be in any encoding, so no path goes through QString here.

namespace {

bool g_bUnnamedTempFilesAllowed = true;

CString ErrnoText(int nError)
{
    return CString(std::strerror(nError));
}

// The path with every link followed, or empty when some part of it does not exist.
std::string Resolve(const std::string& path)
{
    char* pResolved = ::realpath(path.empty() ? "/" : path.c_str(), nullptr);
    if (!pResolved)
        return std::string();
    std::string resolved(pResolved);
    std::free(pResolved);
    return resolved;
}

bool IsInside(const std::string& resolved, const std::string& folder)
{
    if (resolved.empty() || folder.empty())
        return false;
    return folder == "/" || resolved == folder
        || (resolved.compare(0, folder.size(), folder) == 0 && resolved[folder.size()] == '/');
}

void SplitPath(const std::string& path, std::string& dir, std::string& name)
{
    const size_t nSlash = path.rfind('/');
    dir = nSlash == std::string::npos ? "." : (nSlash == 0 ? "/" : path.substr(0, nSlash));
    name = nSlash == std::string::npos ? path : path.substr(nSlash + 1);
}

// The names QSaveFile and this file give their temporary files: the name, a dot and six letters or
// digits.
bool IsTempNameOf(const char* pszEntry, const std::string& name)
{
    const size_t n = std::strlen(pszEntry);
    if (n != name.size() + 7 || name.compare(0, name.size(), pszEntry, name.size()) != 0
        || pszEntry[name.size()] != '.')
        return false;
    for (size_t i = name.size() + 1; i < n; ++i) {
        const char c = pszEntry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// A save killed while it wrote left its temporary file behind; on a card of a few hundred megabytes
// a handful of them fill it up.
void RemoveLeftoverTempFiles(int nDirFd, const std::string& name)
{
    DIR* pDir = ::fdopendir(::dup(nDirFd));
    if (!pDir)
        return;
    while (const dirent* pEntry = ::readdir(pDir)) {
        struct stat info
        {};
        if (IsTempNameOf(pEntry->d_name, name) && ::fstatat(nDirFd, pEntry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode))
            ::unlinkat(nDirFd, pEntry->d_name, 0);
    }
    ::closedir(pDir);
}

std::string NewTempName(const std::string& name)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string temp = name + ".";
    for (int i = 0; i < 6; ++i)
        temp.push_back(kChars[QRandomGenerator::global()->bounded(62)]);
    return temp;
}

BOOL WriteAll(int nFd, const std::string& bytes, CString& strError)
{
    size_t nWritten = 0;
    while (nWritten < bytes.size()) {
        const ssize_t n = ::write(nFd, bytes.data() + nWritten, bytes.size() - nWritten);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            strError = n < 0 ? ErrnoText(errno) : CString("nothing could be written");
            return FALSE;
        }
        nWritten += static_cast<size_t>(n);
    }
    return TRUE;
}

class CFd
{
public:
    explicit CFd(int nFd = -1) : m_nFd(nFd) {}
    ~CFd()
    {
        if (m_nFd >= 0)
            ::close(m_nFd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    int Get() const { return m_nFd; }
    int Release() { return std::exchange(m_nFd, -1); }

private:
    int m_nFd;
};

// Opens a file that ReadWholeFile may read, or answers -1 with the reason. facts tells what is there.
int OpenReadable(const CString& strPath, const CString& strFolder, CFileFacts& facts, size_t& nSize, CString& strError)
{
    struct stat info
    {};
    if (::lstat(strPath.Bytes().c_str(), &info) != 0) {
        strError = ErrnoText(errno);
        return -1;
    }
    facts.bExists = true;
    facts.bRefused = true;
    // A card prepared elsewhere may link its files to anything on this machine: a private key read
    // here would be copied onto the card.
    const std::string resolved = Resolve(strPath.Bytes());
    if (!IsInside(resolved, Resolve(strFolder.Bytes()))) {
        strError = "it is a link that leads outside the card";
        return -1;
    }
    // Looked at before it is opened: opening a FIFO waits for a writer, a device may do anything.
    if (::stat(resolved.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        strError = S_ISDIR(info.st_mode) ? "it is a folder, not a file" : "it is not a regular file";
        return -1;
    }
    CFd fd(::open(resolved.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) {
        const int nError = errno;
        strError = ErrnoText(nError);
        facts.bRefused = nError == ELOOP;
        return -1;
    }
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        strError = "it is not a regular file";
        return -1;
    }
    if (static_cast<unsigned long long>(info.st_size) > kMaxReadSize) {
        strError = "it is larger than 64 MiB";
        return -1;
    }
    facts.bRefused = false;
    nSize = static_cast<size_t>(info.st_size);
    facts.nMode = info.st_mode & 0777;
    facts.nOwner = info.st_uid;
    facts.nGroup = info.st_gid;
    ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    return fd.Release();
}

// Reads to the end with room for the size the file had when it was opened. Bounded: the file may
// grow while it is read, and past kMaxReadSize it is refused.
BOOL ReadToEnd(int nFd, size_t nSize, std::string& bytes, CFileFacts& facts, CString& strError)
{
    std::string data(nSize + 1, '\0');
    size_t nRead = 0;
    for (;;) {
        if (nRead == data.size()) {
            if (data.size() > kMaxReadSize) {
                facts.bRefused = true;
                strError = "it is larger than 64 MiB";
                return FALSE;
            }
            data.resize(std::min(data.size() * 2, kMaxReadSize + 1));
        }
        const ssize_t n = ::read(nFd, &data[nRead], data.size() - nRead);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            strError = ErrnoText(errno);
            return FALSE;
        }
        if (n == 0)
            break;
        nRead += static_cast<size_t>(n);
    }
    data.resize(nRead);
    bytes.swap(data);
    return TRUE;
}

} // namespace

CString GetCurrentDirectoryPath()
{
    char* pDir = ::getcwd(nullptr, 0);
    const CString strDir(pDir ? std::string(pDir) : std::string());
    std::free(pDir);
    return strDir;
}

CString GetExecutableDirectory()
{
    std::string dir;
    std::string name;
    const std::string target = Resolve("/proc/self/exe");
    if (target.empty())
        return CString();
    SplitPath(target, dir, name);
    return CString(dir);
}

BOOL PathExists(const CString& strPath)
{
    struct stat info
    {};
    return ::stat(strPath.Bytes().c_str(), &info) == 0;
}

BOOL IsDirectory(const CString& strPath)
{
    struct stat info
    {};
    return ::stat(strPath.Bytes().c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

BOOL ReadWholeFile(const CString& strPath, const CString& strFolder, std::string& bytes, CString& strError,
                   CFileFacts* pFacts)
{
    CFileFacts facts;
    size_t nSize = 0;
    const CFd fd(OpenReadable(strPath, strFolder, facts, nSize, strError));
    const BOOL bRead = fd.Get() >= 0 && ReadToEnd(fd.Get(), nSize, bytes, facts, strError);
    if (pFacts)
        *pFacts = facts;
    return bRead;
}

BOOL ReplaceFileAtomically(const CString& strPath, const CString& strFolder, const std::string& bytes,
                           CString& strError, const CFileFacts* pLike)
{
    std::string dir;
    std::string name;
    SplitPath(strPath.Bytes(), dir, name);
    const std::string folder = Resolve(strFolder.Bytes());
    std::string realDir = Resolve(dir);
    if (realDir.empty()) {
        strError = ErrnoText(errno);
        return FALSE;
    }
    if (!IsInside(realDir, folder)) {
        strError = "its folder is a link that leads outside the card";
        return FALSE;
    }
    struct stat info
    {};
    bool bExists = ::lstat((realDir + "/" + name).c_str(), &info) == 0;
    if (bExists && S_ISLNK(info.st_mode)) {
        // A link within the card is written through, as the frame's own tools set it up; any other
        // link is replaced by the file itself, so nothing outside the card is ever written.
        const std::string target = Resolve(realDir + "/" + name);
        if (IsInside(target, folder)) {
            SplitPath(target, realDir, name);
            bExists = ::lstat(target.c_str(), &info) == 0;
        } else {
            bExists = false;
        }
    }
    if (bExists && S_ISDIR(info.st_mode)) {
        strError = "a folder of that name is in the way";
        return FALSE;
    }
    const CFd dirFd(::open(realDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.Get() < 0) {
        strError = ErrnoText(errno);
        return FALSE;
    }
    RemoveLeftoverTempFiles(dirFd.Get(), name);

    const bool bLikeOld = !pLike && bExists && S_ISREG(info.st_mode);
    mode_t nMode = 0;
    if (pLike) {
        nMode = static_cast<mode_t>(pLike->nMode);
    } else if (bLikeOld) {
        nMode = info.st_mode & 0777;
    } else {
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        nMode = 0666 & ~nMask;
    }

    std::string tempName;
    int nFd = -1;
    bool bUnnamed = false;
    if (g_bUnnamedTempFilesAllowed) {
        nFd = ::openat(dirFd.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        bUnnamed = nFd >= 0;
    }
    // FAT and exFAT have no unnamed files: the bytes go to a name of their own, made only if new.
    for (int nTry = 0; nFd < 0 && nTry < 100; ++nTry) {
        tempName = NewTempName(name);
        nFd = ::openat(dirFd.Get(), tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (nFd < 0 && errno != EEXIST) {
            strError = ErrnoText(errno);
            return FALSE;
        }
    }
    if (nFd < 0) {
        strError = "no temporary file could be made";
        return FALSE;
    }
    const CFd fd(nFd);
    auto fail = [&](CString strWhy) {
        strError = strWhy;
        if (!tempName.empty())
            ::unlinkat(dirFd.Get(), tempName.c_str(), 0);
        return FALSE;
    };
    // A user's file that root saves stays the user's. FAT has neither owners nor modes, so neither
    // failure fails the save.
    if (::geteuid() == 0 && (pLike || bLikeOld))
        (void)::fchown(nFd, pLike ? pLike->nOwner : info.st_uid, pLike ? pLike->nGroup : info.st_gid);
    (void)::fchmod(nFd, nMode);
    if (!WriteAll(nFd, bytes, strError))
        return fail(strError);
    // The new file must be on the medium before it takes the old one's name; a card pulled out right
    // after must not hold a name that points at missing data.
    if (::fsync(nFd) != 0)
        return fail(ErrnoText(errno));
    if (bUnnamed) {
        const std::string procPath = "/proc/self/fd/" + std::to_string(nFd);
        for (int nTry = 0;; ++nTry) {
            tempName = NewTempName(name);
            if (::linkat(AT_FDCWD, procPath.c_str(), dirFd.Get(), tempName.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            if (errno != EEXIST || nTry == 100) {
                tempName.clear();
                return fail(ErrnoText(errno));
            }
        }
    }
    if (::renameat(dirFd.Get(), tempName.c_str(), dirFd.Get(), name.c_str()) != 0)
        return fail(ErrnoText(errno));
    // The rename lives in the folder: until the folder is on the medium, a pulled card may still
    // show the old file, or none.
    if (::fsync(dirFd.Get()) != 0 && errno != EINVAL) {
        strError = ErrnoText(errno);
        return FALSE;
    }
    return TRUE;
}

void SetUnnamedTempFilesAllowed(bool bAllowed)
{
    g_bUnnamedTempFilesAllowed = bAllowed;
}
