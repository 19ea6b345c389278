#include "app/CommandLine.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

CCommandLine Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "dpf-settings");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

struct ProcessResult
{
    int nExitCode;
    QByteArray out;
    QByteArray err;
};

ProcessResult RunEditor(const QStringList& args, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(DPF_SETTINGS_EXE, args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

QProcessEnvironment WithoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    return env;
}

} // namespace

TEST(CommandLine, DriveHelpVersionAndAnythingElse)
{
    EXPECT_EQ(Parse({}).action, CCommandLine::Run);
    EXPECT_FALSE(Parse({}).bHasDrive);

    CCommandLine cmd = Parse({"--drive", "/media/frame"});
    EXPECT_EQ(cmd.action, CCommandLine::Run);
    EXPECT_TRUE(cmd.bHasDrive);
    EXPECT_EQ(cmd.strDrive, "/media/frame");
    EXPECT_EQ(Parse({"--drive=/media/x"}).strDrive, "/media/x");

    EXPECT_EQ(Parse({"--help"}).action, CCommandLine::ShowHelp);
    EXPECT_EQ(Parse({"--version"}).action, CCommandLine::ShowVersion);
    EXPECT_EQ(Parse({"--drive"}).action, CCommandLine::UsageError);
    EXPECT_EQ(Parse({"--drive", "a", "--drive", "b"}).action, CCommandLine::UsageError);
    EXPECT_EQ(Parse({"-platform", "offscreen"}).action, CCommandLine::UsageError);
    EXPECT_EQ(Parse({"extra"}).strError, "unknown argument 'extra'");
}

TEST(Executable, HelpVersionAndUsageErrorsNeedNoDisplay)
{
    const ProcessResult help = RunEditor({"--help"}, WithoutDisplay());
    EXPECT_EQ(help.nExitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: dpf-settings [--drive DIR]\n"));
    EXPECT_TRUE(help.err.isEmpty());

    const ProcessResult version = RunEditor({"--version"}, WithoutDisplay());
    EXPECT_EQ(version.nExitCode, 0);
    EXPECT_TRUE(version.out.startsWith("dpf-settings "));

    // A folder that is no frame drive is refused before any window, and nothing is made in it.
    QTemporaryDir notADrive;
    const ProcessResult refused = RunEditor({"--drive", notADrive.path()}, WithoutDisplay());
    EXPECT_EQ(refused.nExitCode, 2);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err.toStdString(),
              "dpf-settings: " + notADrive.path().toStdString()
                  + " is not a frame drive: it has no System/Configuration folder\n");
    EXPECT_TRUE(QDir(notADrive.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));

    const ProcessResult wrong = RunEditor({"--frobnicate"}, WithoutDisplay());
    EXPECT_EQ(wrong.nExitCode, 2);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.startsWith("dpf-settings: unknown argument '--frobnicate'\nUsage:"));
}

TEST(Executable, WithoutADisplayItSaysSoInOneLineAndExitsWithOne)
{
    QTemporaryDir drive;
    QDir().mkpath(drive.path() + "/System/Configuration");
    const ProcessResult unset = RunEditor({"--drive", drive.path()}, WithoutDisplay());
    EXPECT_EQ(unset.nExitCode, 1);
    EXPECT_EQ(unset.err.count('\n'), 1) << unset.err.toStdString();
    EXPECT_TRUE(unset.err.startsWith("dpf-settings: cannot open a window")) << unset.err.toStdString();

    QProcessEnvironment unreachable = WithoutDisplay();
    unreachable.insert("DISPLAY", ":97");
    const ProcessResult gone = RunEditor({"--drive", drive.path()}, unreachable);
    EXPECT_EQ(gone.nExitCode, 1);
    EXPECT_EQ(gone.err.count('\n'), 1) << gone.err.toStdString();
    EXPECT_TRUE(gone.err.startsWith("dpf-settings: cannot open a window")) << gone.err.toStdString();
}
