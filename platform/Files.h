// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Files and folders, as the program needs them: where it runs, what exists, reading a file whole and
// replacing a file so that it is always either the old or the new version on disk.

#include "platform/AfxTypes.h"
#include "platform/String.h"

#include <string>

CString GetCurrentDirectoryPath();
// The folder that holds the running executable, or empty when it cannot be told.
CString GetExecutableDirectory();

BOOL PathExists(const CString& strPath);
BOOL IsDirectory(const CString& strPath);

// The largest file that is read: the frame's own files are a few megabytes, and a card may hold
// anything in their place (a sparse file of a terabyte reads as zeros without end).
const size_t kMaxReadSize = 64u * 1024 * 1024;

// What a read found out about the file, for a copy that should look like it.
struct CFileFacts
{
    bool bExists = false; // something of that name is there
    bool bRefused = false; // a link out of the folder, anything but a regular file, or too large
    unsigned nMode = 0; // permission bits of the file that was read
    unsigned nOwner = 0;
    unsigned nGroup = 0;
};

// Reads a whole regular file of at most kMaxReadSize bytes that lies inside strFolder once every link
// in its path is followed. FALSE, with a reason for the user, when it cannot be opened or read, or is
// refused; a FIFO, device or socket is refused without ever blocking on it.
BOOL ReadWholeFile(const CString& strPath, const CString& strFolder, std::string& bytes, CString& strError,
                   CFileFacts* pFacts = nullptr);

// What a replace did. ReplacedUnflushed: the new file has the name, but the folder could not be
// flushed to the medium after the rename, so the card may not have finished writing it.
enum class CReplaceResult { Failed, Replaced, ReplacedUnflushed };

// Replaces the file with exactly these bytes. The bytes go to a new temporary file in the same
// folder, ".<name>.dpf-settings-<ten letters or digits>", locked while it is written, which replaces
// the file only once every byte is written and flushed to the medium, and the folder is flushed
// after; on any failure the old file is left untouched, the temporary file is removed and Failed
// comes back with a reason for the user, also when the file is marked read-only. The file keeps its permission bits (and, for root, its
// owner), or takes those of pLike. A link that leads to a place inside strFolder is written through;
// a link that leads outside is replaced by a regular file, and a folder link that leads outside
// refuses the save. Temporary files of that pattern that no running save holds locked, left by
// killed saves, are removed; no other file is.
CReplaceResult ReplaceFileAtomically(const CString& strPath, const CString& strFolder, const std::string& bytes,
                                     CString& strError, const CFileFacts* pLike = nullptr);
