// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CWinApp: the application object. The program's entry makes the Qt application, runs the one
// application object's InitInstance and ends when it returns FALSE, as a dialog application does.

#include "platform/AfxTypes.h"

class CWnd;

class CWinApp
{
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The whole run of a dialog application; FALSE ends the program.
    virtual BOOL InitInstance();

    // Kept for the start-up sequence; Qt draws its controls in the desktop's style by itself.
    void Enable3dControls() {}

    // The wait cursor over every window of the program; calls nest.
    void BeginWaitCursor();
    void EndWaitCursor();

    CWnd* m_pMainWnd = nullptr;
};

// The one application object, or nullptr before it is built.
CWinApp* AfxGetApp();

// Makes the Qt application this program's: its name, the name of its desktop entry and its icon,
// which every window it opens carries. AfxWinMain calls it once the Qt application exists.
void AfxInitQtApplication();

// The program's entry after its own arguments are handled: makes the Qt application, runs
// InitInstance and returns the exit status. Without a usable display it prints one line to standard
// error and returns 1.
int AfxWinMain(int argc, char* argv[]);
