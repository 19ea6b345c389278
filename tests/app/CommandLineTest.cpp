// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's command line, as the real program answers it.

#include <QDir>
#include <QLibraryInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs the editor without a display (or with the display variables given as NAME=value) and expects
// its exit code, and patterns that match all of its stdout and all of its stderr.
void ExpectRun(const QStringList& args, int nExit, const QString& out, const QString& err,
               const QStringList& display = {})
{
    SCOPED_TRACE((args.join(' ') + " " + display.join(' ')).toStdString());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* pszName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(pszName);
    for (const QString& variable : display)
        env.insert(variable.section('=', 0, 0), variable.section('=', 1));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(DPF_SETTINGS_EXE, args);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), nExit);
    for (const auto& [pattern, text] :
         {std::pair{out, process.readAllStandardOutput()}, {err, process.readAllStandardError()}}) {
        const QRegularExpression whole(QRegularExpression::anchoredPattern(pattern),
                                       QRegularExpression::DotMatchesEverythingOption);
        EXPECT_TRUE(whole.match(QString::fromUtf8(text)).hasMatch()) << text.toStdString();
    }
}

} // namespace

TEST(Executable, HelpVersionAndUsageErrorsNeedNoDisplayAndWithoutOneItSaysSoInOneLine)
{
    ExpectRun({"--help"}, 0, "Usage: dpf-settings \\[--drive DIR\\]\n.*", "");
    ExpectRun({"--version"}, 0, "dpf-settings .*", "");
    ExpectRun({"--frobnicate"}, 2, "", "dpf-settings: unknown argument '--frobnicate'\nUsage: .*");
    // Qt's own options are not the editor's, and --drive takes one folder, once.
    ExpectRun({"-platform", "offscreen"}, 2, "", "dpf-settings: unknown argument '-platform'\nUsage: .*");
    ExpectRun({"--drive"}, 2, "", "dpf-settings: --drive needs a folder\nUsage: .*");
    ExpectRun({"--drive", "a", "--drive", "b"}, 2, "", "dpf-settings: --drive given twice\nUsage: .*");
    // A folder that is no frame drive is refused before any window, and nothing is made in it.
    QTemporaryDir notADrive;
    for (const QStringList& args : {QStringList{"--drive", notADrive.path()}, {"--drive=" + notADrive.path()}})
        ExpectRun(args, 2, "",
                  "dpf-settings: " + QRegularExpression::escape(notADrive.path())
                      + " is not a frame drive: it has no System/Configuration folder\n");
    EXPECT_TRUE(QDir(notADrive.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QTemporaryDir drive;
    QDir().mkpath(drive.path() + "/System/Configuration");
    ExpectRun({"--drive", drive.path()}, 1, "", "dpf-settings: cannot open a window[^\n]*\n");
    ExpectRun({"--drive", drive.path()}, 1, "", "dpf-settings: cannot open a window[^\n]*\n", {"DISPLAY=:97"});
    // A platform whose plugin is not installed names the package that holds it.
    const bool bHasWayland
        = !QDir(QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms").entryList({"*wayland*"}).isEmpty();
    ExpectRun({"--drive", drive.path()}, 1, "",
              bHasWayland ? "dpf-settings: cannot open a window: [^\n]*check WAYLAND_DISPLAY[^\n]*\n"
                          : "dpf-settings: cannot open a window: [^\n]*; install qt6-wayland\n",
              {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=dpf-settings-no-such-display"});
}
