// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's own command line: --drive DIR, --help and --version.

#include "platform/String.h"

#include <string>

struct CCommandLine
{
    enum Action { Run, ShowHelp, ShowVersion, UsageError };
    Action action = Run;
    bool bHasDrive = false;
    CString strDrive;
    std::string strError; // what was wrong, for UsageError
};

CCommandLine ParseCommandLine(int argc, const char* const argv[]);
// The usage text, ending with a newline.
std::string CommandLineUsage();
