// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Files.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

// Paths are bytes: a card's folder name may be in any encoding, so no path goes through QString here.

namespace {

// A save's temporary file is named ".<file>.dpf-settings-<ten letters or digits>", for instance
// ".Configuration.xml.dpf-settings-AbC123xyZ0": hidden by its dot, named after the file it becomes
// and after this program. No person names a file so, and a save removes no file of any other name.
const char kTempMark[] = ".dpf-settings-";
const size_t kTempMarkLength = sizeof kTempMark - 1;
const size_t kTempRandomLength = 10;

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

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Any file's temporary name, not only the one being saved: a killed save of the backup leaves one
// too, and no later save of the backup may come to remove it.
bool IsTempName(const std::string& entry)
{
    if (entry.size() < 2 + kTempMarkLength + kTempRandomLength || entry[0] != '.')
        return false;
    const size_t nRandom = entry.size() - kTempRandomLength;
    return entry.compare(nRandom - kTempMarkLength, kTempMarkLength, kTempMark) == 0
        && std::all_of(entry.begin() + static_cast<std::ptrdiff_t>(nRandom), entry.end(), IsAsciiLetterOrDigit);
}

std::string NewTempName(const std::string& name)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string temp = "." + name + kTempMark;
    for (size_t i = 0; i < kTempRandomLength; ++i)
        temp.push_back(kChars[QRandomGenerator::global()->bounded(62)]);
    return temp;
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

bool IsSameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A running save holds its temporary file locked, so a file of that name which can be locked at once
// was left by a save that was killed. It is removed under the lock, and only while its name still
// is the file that was locked.
void RemoveIfLeftover(int nDirFd, const char* pszName)
{
    struct stat named
    {};
    struct stat opened
    {};
    // Looked at before it is opened: a stranger's card may give a FIFO or a device this name.
    if (::fstatat(nDirFd, pszName, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode))
        return;
    const CFd fd(::openat(nDirFd, pszName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0 || ::fstat(fd.Get(), &opened) != 0 || !IsSameFile(opened, named)
        || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        return;
    if (::fstatat(nDirFd, pszName, &named, AT_SYMLINK_NOFOLLOW) == 0 && IsSameFile(opened, named))
        ::unlinkat(nDirFd, pszName, 0);
}

// A save killed while it wrote left its temporary file behind; on a card of a few hundred megabytes
// a handful of them fill it up.
void RemoveLeftoverTempFiles(int nDirFd)
{
    DIR* pDir = ::fdopendir(::fcntl(nDirFd, F_DUPFD_CLOEXEC, 0));
    if (!pDir)
        return;
    while (const dirent* pEntry = ::readdir(pDir)) {
        if (IsTempName(pEntry->d_name))
            RemoveIfLeftover(nDirFd, pEntry->d_name);
    }
    ::closedir(pDir);
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

// Where a save writes: the real folder and name once a link inside the card is followed, and what
// stands there now.
struct CSaveTarget
{
    std::string dir;
    std::string name;
    bool bExists = false;
    struct stat info
    {};
};

BOOL ResolveSaveTarget(const CString& strPath, const CString& strFolder, CSaveTarget& target, CString& strError)
{
    std::string dir;
    SplitPath(strPath.Bytes(), dir, target.name);
    const std::string folder = Resolve(strFolder.Bytes());
    target.dir = Resolve(dir);
    if (target.dir.empty()) {
        strError = ErrnoText(errno);
        return FALSE;
    }
    if (!IsInside(target.dir, folder)) {
        strError = "its folder is a link that leads outside the card";
        return FALSE;
    }
    const std::string path = target.dir + "/" + target.name;
    target.bExists = ::lstat(path.c_str(), &target.info) == 0;
    if (target.bExists && S_ISLNK(target.info.st_mode)) {
        // A link within the card is written through, as the frame's own tools set it up; any other
        // link is replaced by the file itself, so nothing outside the card is ever written.
        const std::string linked = Resolve(path);
        target.bExists = IsInside(linked, folder) && ::lstat(linked.c_str(), &target.info) == 0;
        if (target.bExists)
            SplitPath(linked, target.dir, target.name);
    }
    if (target.bExists && S_ISDIR(target.info.st_mode)) {
        strError = "a folder of that name is in the way";
        return FALSE;
    }
    // Marked read-only (the FAT attribute, or no write bit for anyone): whoever marked it meant it to
    // stay, and root, or the owner of the folder, could otherwise replace it all the same.
    if (target.bExists && S_ISREG(target.info.st_mode) && (target.info.st_mode & 0222) == 0) {
        strError = "it is marked read-only";
        return FALSE;
    }
    return TRUE;
}

// The permission bits and, when root saves, the owner that the new file takes.
struct CNewFileLooks
{
    mode_t nMode = 0;
    bool bKeepOwner = false;
    uid_t nOwner = 0;
    gid_t nGroup = 0;
};

CNewFileLooks LooksOfNewFile(const CSaveTarget& target, const CFileFacts* pLike)
{
    CNewFileLooks looks;
    if (pLike) {
        looks = {static_cast<mode_t>(pLike->nMode), true, pLike->nOwner, pLike->nGroup};
    } else if (target.bExists && S_ISREG(target.info.st_mode)) {
        looks = {target.info.st_mode & 0777, true, target.info.st_uid, target.info.st_gid};
    } else {
        const mode_t nMask = ::umask(0);
        ::umask(nMask);
        looks.nMode = 0666 & ~nMask;
    }
    return looks;
}

// A new temporary file for name, locked. A sweep of another save may find it before it is locked
// and remove it; the file is then no longer the name's, and another one is made.
int CreateLockedTempFile(int nDirFd, const std::string& name, std::string& tempName, CString& strError)
{
    for (int nTry = 0; nTry < 100; ++nTry) {
        tempName = NewTempName(name);
        CFd fd(::openat(nDirFd, tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (fd.Get() < 0 && errno == EEXIST)
            continue;
        if (fd.Get() < 0) {
            strError = ErrnoText(errno);
            return -1;
        }
        struct stat info
        {};
        if (::flock(fd.Get(), LOCK_EX) != 0 || ::fstat(fd.Get(), &info) != 0) {
            strError = ErrnoText(errno);
            ::unlinkat(nDirFd, tempName.c_str(), 0);
            return -1;
        }
        if (info.st_nlink > 0)
            return fd.Release();
    }
    strError = "no temporary file could be made";
    return -1;
}

// Writes the bytes to a new temporary file beside the file, on the medium and closed. Answers a
// descriptor that keeps the file locked until it has taken the file's name, or -1 with a reason and
// no temporary file left behind.
int WriteTempFile(int nDirFd, const std::string& name, const CNewFileLooks& looks, const std::string& bytes,
                  std::string& tempName, CString& strError)
{
    CFd fd(CreateLockedTempFile(nDirFd, name, tempName, strError));
    if (fd.Get() < 0)
        return -1;
    const auto fail = [&](CString strWhy) {
        strError = strWhy;
        ::unlinkat(nDirFd, tempName.c_str(), 0);
        return -1;
    };
    if (!WriteAll(fd.Get(), bytes, strError))
        return fail(strError);
    // Set once the bytes are in, so that a save killed while it wrote leaves a file that the next
    // save can open and remove. A user's file that root saves stays the user's. FAT has neither owners nor modes, so
    // neither failure fails the save.
    if (::geteuid() == 0 && looks.bKeepOwner)
        (void)::fchown(fd.Get(), looks.nOwner, looks.nGroup);
    (void)::fchmod(fd.Get(), looks.nMode);
    // The new file must be on the medium before it takes the old one's name; a card pulled out right
    // after must not hold a name that points at missing data.
    if (::fsync(fd.Get()) != 0)
        return fail(ErrnoText(errno));
    // The lock belongs to the open file, not to one descriptor: a copy keeps it while the written
    // descriptor is closed and its close checked.
    CFd lock(::fcntl(fd.Get(), F_DUPFD_CLOEXEC, 0));
    if (lock.Get() < 0)
        return fail(ErrnoText(errno));
    if (::close(fd.Release()) != 0)
        return fail(ErrnoText(errno));
    return lock.Release();
}

CReplaceResult PublishTempFile(int nDirFd, const std::string& tempName, const std::string& name, CString& strError)
{
    if (::renameat(nDirFd, tempName.c_str(), nDirFd, name.c_str()) != 0) {
        strError = ErrnoText(errno);
        ::unlinkat(nDirFd, tempName.c_str(), 0);
        return CReplaceResult::Failed;
    }
    // The rename lives in the folder: until the folder is on the medium, a pulled card may still
    // show the old file, or none. The new file has its name all the same: that is no failed save.
    if (::fsync(nDirFd) != 0 && errno != EINVAL) {
        strError = ErrnoText(errno);
        return CReplaceResult::ReplacedUnflushed;
    }
    return CReplaceResult::Replaced;
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

CReplaceResult ReplaceFileAtomically(const CString& strPath, const CString& strFolder, const std::string& bytes,
                                     CString& strError, const CFileFacts* pLike)
{
    CSaveTarget target;
    if (!ResolveSaveTarget(strPath, strFolder, target, strError))
        return CReplaceResult::Failed;
    const CFd dirFd(::open(target.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.Get() < 0) {
        strError = ErrnoText(errno);
        return CReplaceResult::Failed;
    }
    RemoveLeftoverTempFiles(dirFd.Get());
    std::string tempName;
    const CFd lock(WriteTempFile(dirFd.Get(), target.name, LooksOfNewFile(target, pLike), bytes, tempName, strError));
    if (lock.Get() < 0)
        return CReplaceResult::Failed;
    return PublishTempFile(dirFd.Get(), tempName, target.name, strError);
}
