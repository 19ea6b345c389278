// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WinApp.h"

#include "platform/DialogStyle.h"
#include "platform/QtBridge.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QtGlobal>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace {

CWinApp* g_pApp = nullptr;

// Platforms that draw into a window system need one to talk to; the others (offscreen, vnc, ...)
// do not.
bool NeedsDisplayServer(int argc, char* argv[])
{
    QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0)
            platform = argv[i + 1];
    }
    return platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
}

bool HasDisplayServer()
{
    return !qgetenv("DISPLAY").isEmpty() || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

void NoDisplay(const char* pszWhy)
{
    std::fprintf(stderr, "dpf-settings: cannot open a window: %s\n", pszWhy);
}

// The Debian package that holds a platform plugin: the one thing a user can act on when Qt finds
// none it can start.
const char* PlatformPluginPackage(const QString& strPlugin)
{
    return strPlugin.startsWith("wayland") ? "qt6-wayland" : "qt6-qpa-plugins";
}

// Qt names each platform plugin it looks for and does not find before its fatal message, which only
// says that none could be started. A plugin that is there but cannot reach its display is "found
// but could not be loaded", the same words as a broken one, so only a missing one is named.
QString g_strMissingPlugin;

void NoPlatform()
{
    if (!g_strMissingPlugin.isEmpty()) {
        const QString strWhy = QString("the Qt platform plugin \"%1\" is not installed; install %2")
                                   .arg(g_strMissingPlugin, PlatformPluginPackage(g_strMissingPlugin));
        NoDisplay(strWhy.toLocal8Bit().constData());
    } else if (qgetenv("QT_QPA_PLATFORM").startsWith("wayland")) {
        NoDisplay("the display could not be reached (check WAYLAND_DISPLAY)");
    } else {
        NoDisplay("the display could not be reached (check DISPLAY)");
    }
}

// While the Qt application is being made, Qt's own complaints about the display are held back: when
// it cannot start, the user gets one line that says why instead of a cascade of messages and an abort.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& strMessage)
{
    static const QRegularExpression missing("Could not find the Qt platform plugin \"([^\"]+)\"");
    // The first one missed is the one the session prefers ("wayland;xcb" on a Wayland desktop).
    if (const QRegularExpressionMatch match = missing.match(strMessage);
        match.hasMatch() && g_strMissingPlugin.isEmpty())
        g_strMissingPlugin = match.captured(1);
    if (type == QtFatalMsg) {
        NoPlatform();
        std::fflush(stderr);
        std::_Exit(1);
    }
}

} // namespace

CWinApp::CWinApp()
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return FALSE;
}

void CWinApp::BeginWaitCursor()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CWinApp::EndWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

void AfxInitQtApplication()
{
    QApplication::setApplicationName("dpf-settings");
    // On Wayland the desktop matches windows to their menu entry by this name alone: without it the
    // editor's windows have no icon and no name in the task bar.
    QGuiApplication::setDesktopFileName("dpf-settings");
    // On X11 each window carries its own icon: the sheet, its message boxes and every window it opens
    // take the application's.
    QIcon icon;
    for (int nSize : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(ReadPngResource(QString(":/icons/dpf-settings-%1.png").arg(nSize))));
    QApplication::setWindowIcon(icon);
    UseDialogStyle();
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

int AfxWinMain(int argc, char* argv[])
{
    if (NeedsDisplayServer(argc, argv) && !HasDisplayServer()) {
        NoDisplay("no display found (DISPLAY is not set); start it from a desktop session");
        return 1;
    }
    // A write past the file size limit must fail like any other failed write, so that a save reports
    // it, instead of ending the program with the user's changes.
    std::signal(SIGXFSZ, SIG_IGN);
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    // Qt's accessibility bridge connects to the session bus when the first widget changes; on a
    // desktop without one D-Bus forks a child to look for it, which then shares every page of memory
    // the editor has written so far. Connecting before any document is read keeps that small.
    QAccessible::isActive();
    AfxInitQtApplication();

    // A dialog application's whole run is InitInstance: there is no message loop after it, whatever
    // it answers.
    if (CWinApp* pApp = AfxGetApp())
        pApp->InitInstance();
    return 0;
}
