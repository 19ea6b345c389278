// SPDX-License-Identifier: GPL-3.0-or-later
// dpf-settings: the settings editor of a networked digital photo frame.

#include "app/CommandLine.h"
#include "app/DriveLocator.h"
#include "app/KestrovaConfigToolApp.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const CCommandLine cmd = ParseCommandLine(argc, argv);
    switch (cmd.action) {
    case CCommandLine::ShowHelp:
        std::fputs(CommandLineUsage().c_str(), stdout);
        return 0;
    case CCommandLine::ShowVersion:
        std::printf("dpf-settings %s\n", DPF_VERSION);
        return 0;
    case CCommandLine::UsageError:
        std::fprintf(stderr, "dpf-settings: %s\n%s", cmd.strError.c_str(), CommandLineUsage().c_str());
        return 2;
    case CCommandLine::Run:
        break;
    }
    if (cmd.bHasDrive) {
        // A wrong folder would otherwise open as an empty, reset configuration, and the first save
        // would create System/Configuration wherever the user pointed: refuse before any window.
        if (!IsFrameDrive(cmd.strDrive)) {
            std::fprintf(stderr, "dpf-settings: %s is not a frame drive: it has no System/Configuration folder\n",
                         static_cast<const char*>(cmd.strDrive));
            return 2;
        }
        theApp.SetDriveOverride(cmd.strDrive);
    }
    // The editor's own arguments are handled; Qt gets none of them.
    int nQtArgc = 1;
    const int nExit = AfxWinMain(nQtArgc, argv);
#ifndef __SANITIZE_ADDRESS__
    // The window is gone and the file is written and closed: what is left is handing the documents
    // (a heavy card's is a few hundred thousand nodes) back to the allocator one node at a time, which
    // the system does at once when the process ends. Builds that check for leaks end normally, so
    // that every allocation is still accounted for.
    std::fflush(nullptr);
    std::_Exit(nExit);
#else
    return nExit;
#endif
}
