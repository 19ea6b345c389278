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

// Reads a whole file. FALSE, with a reason for the user, when it cannot be opened or read.
BOOL ReadWholeFile(const CString& strPath, std::string& bytes, CString& strError);

// Replaces the file with exactly these bytes. The bytes go to a temporary file in the same folder,
// which replaces the file only once every byte is written and flushed to the medium; on any failure
// the old file is left untouched and FALSE comes back with a reason for the user. An existing file
// keeps its permission bits.
BOOL ReplaceFileAtomically(const CString& strPath, const std::string& bytes, CString& strError);
