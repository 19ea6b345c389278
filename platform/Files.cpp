#include "platform/Files.h"

#include "platform/QtBridge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

CString GetCurrentDirectoryPath()
{
    return FromQString(QDir::currentPath());
}

CString GetExecutableDirectory()
{
    const QString target = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return target.isEmpty() ? CString() : FromQString(QFileInfo(target).absolutePath());
}

BOOL PathExists(const CString& strPath)
{
    return QFileInfo::exists(ToQString(strPath));
}

BOOL IsDirectory(const CString& strPath)
{
    return QFileInfo(ToQString(strPath)).isDir();
}

BOOL ReadWholeFile(const CString& strPath, std::string& bytes, CString& strError)
{
    QFile file(ToQString(strPath));
    if (QFileInfo(file).isDir()) {
        strError = "it is a folder, not a file";
        return FALSE;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        strError = FromQString(file.errorString());
        return FALSE;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        strError = FromQString(file.errorString());
        return FALSE;
    }
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return TRUE;
}

BOOL ReplaceFileAtomically(const CString& strPath, const std::string& bytes, CString& strError)
{
    const QString path = ToQString(strPath);
    if (QFileInfo(path).isDir()) {
        strError = "a folder of that name is in the way";
        return FALSE;
    }
    QSaveFile file(path);
    // Never fall back to writing the file in place: that is exactly the half-written file we avoid.
    file.setDirectWriteFallback(false);
    // Unbuffered, so that every write reports its own failure: a buffered write that fails only at
    // commit time can be reported as success and leave a truncated file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        strError = FromQString(file.errorString());
        return FALSE;
    }
    size_t nWritten = 0;
    while (nWritten < bytes.size()) {
        const qint64 n = file.write(bytes.data() + nWritten, static_cast<qint64>(bytes.size() - nWritten));
        if (n <= 0) {
            strError = FromQString(file.errorString());
            file.cancelWriting();
            return FALSE;
        }
        nWritten += static_cast<size_t>(n);
    }
    // The new file must be on the medium before it takes the old one's name; a card pulled out right
    // after must not hold a name that points at missing data.
    if (::fsync(file.handle()) != 0) {
        strError = std::strerror(errno);
        file.cancelWriting();
        return FALSE;
    }
    if (!file.commit()) {
        strError = FromQString(file.errorString());
        return FALSE;
    }
    return TRUE;
}
