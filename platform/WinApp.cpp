#include "platform/WinApp.h"

#include "platform/DialogStyle.h"
#include "platform/QtBridge.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtGlobal>

#include <fontconfig/fontconfig.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

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

// While the Qt application is being made, Qt's own complaints about the display are held back: when
// it cannot start, the user gets one line that says why instead of a cascade of messages and an abort.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString&)
{
    if (type == QtFatalMsg) {
        NoDisplay("the display could not be reached (check DISPLAY)");
        std::fflush(stderr);
        std::_Exit(1);
    }
}

// The first text the sheet measures makes Qt read the font configuration: some fifty small XML files,
// a quarter of all the computing before the window shows. Connecting to the display and loading
// Qt's plugins, which come first, leave the second core idle: the configuration is read there
// meanwhile, and Qt finds it ready. Without a thread it is simply read when Qt first asks.
class CFontConfigReader
{
public:
    CFontConfigReader()
    {
        try {
            m_thread = std::thread([] { FcInit(); });
        } catch (const std::system_error&) {}
    }
    ~CFontConfigReader() { Wait(); }
    CFontConfigReader(const CFontConfigReader&) = delete;
    CFontConfigReader& operator=(const CFontConfigReader&) = delete;

    void Wait()
    {
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::thread m_thread;
};

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
    CFontConfigReader fontConfig;
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    // Qt's accessibility bridge connects to the session bus when the first widget changes. On a
    // desktop without one, D-Bus forks a child to look for it, and the pages the editor had written
    // by then are shared with that child: every one it writes again costs a fault, thousands on a
    // heavy card's documents. Connecting before any document is read keeps that to a few hundred,
    // and costs no more time, as the connection is made at start-up in any case.
    QAccessible::isActive();
    // Before any text is measured: two threads reading the configuration at once would each read it.
    fontConfig.Wait();
    AfxInitQtApplication();

    // A dialog application's whole run is InitInstance: there is no message loop after it, whatever
    // it answers.
    if (CWinApp* pApp = AfxGetApp())
        pApp->InitInstance();
    return 0;
}
