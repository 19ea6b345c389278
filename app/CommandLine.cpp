// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <cstring>

CCommandLine ParseCommandLine(int argc, const char* const argv[])
{
    CCommandLine cmd;
    for (int i = 1; i < argc; ++i) {
        const char* pszArg = argv[i];
        if (std::strcmp(pszArg, "--help") == 0 || std::strcmp(pszArg, "-h") == 0) {
            cmd.action = CCommandLine::ShowHelp;
            return cmd;
        }
        if (std::strcmp(pszArg, "--version") == 0) {
            cmd.action = CCommandLine::ShowVersion;
            return cmd;
        }
        if (std::strcmp(pszArg, "--drive") == 0 || std::strncmp(pszArg, "--drive=", 8) == 0) {
            const char* pszValue = pszArg[7] == '=' ? pszArg + 8 : (i + 1 < argc ? argv[++i] : nullptr);
            if (!pszValue || !*pszValue || cmd.bHasDrive) {
                cmd.action = CCommandLine::UsageError;
                cmd.strError = cmd.bHasDrive ? "--drive given twice" : "--drive needs a folder";
                return cmd;
            }
            cmd.bHasDrive = true;
            cmd.strDrive = pszValue;
            continue;
        }
        cmd.action = CCommandLine::UsageError;
        cmd.strError = std::string("unknown argument '") + pszArg + "'";
        return cmd;
    }
    return cmd;
}

std::string CommandLineUsage()
{
    return "Usage: dpf-settings [--drive DIR]\n"
           "Edit the settings of a digital photo frame on its memory card or USB stick.\n"
           "\n"
           "  --drive DIR   use the frame drive at DIR (the folder that holds System/Configuration)\n"
           "  --help        show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Without --drive, the drive is the nearest folder holding System/Configuration above the\n"
           "current folder, then above the program's own folder; failing both, the mounted volumes are\n"
           "searched for one whose top folder holds it (network and system file systems are not looked\n"
           "at). With exactly one such card it is opened; with none or several, a window lists the cards\n"
           "found, lets you choose another folder, and opens a card as soon as it is plugged in.\n"
           "\n"
           "Keys: Ctrl+Tab or Ctrl+PgDn for the next page, Ctrl+Shift+Tab or Ctrl+PgUp for the previous\n"
           "one, Tab and Shift+Tab between the controls, Alt with an underlined letter for its control,\n"
           "Enter for OK, Escape for Cancel.\n"
           "\n"
           "Exit status: 0 when the editor ran or was cancelled, 1 when no window could be opened,\n"
           "2 for a wrong command line or a --drive folder without System/Configuration.\n";
}
