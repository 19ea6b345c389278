// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/ConfigDocument.h"
#include "platform/Files.h"

#include "TestSupport.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <tuple>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static std::string PathOf(int nFd)
{
    char target[PATH_MAX] = {};
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(nFd)).c_str(), target, sizeof target - 1);
    return std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
}

static int RealFlock(int nFd, int nOperation)
{
    static const auto pRealFlock = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    return pRealFlock(nFd, nOperation);
}

// What every fsync of this test program flushed, by path, and whether someone else held the file
// locked just then, so that a test can tell what the save put on the medium, in which order, and
// that no other save could have taken its temporary file for a leftover meanwhile.
struct CSynced
{
    std::string path;
    bool bLocked;
};
static std::vector<CSynced> g_synced;
// When set, flushing a folder fails, as it does on a card that went away just after the rename.
static bool g_bFailFolderSync = false;

extern "C" int fsync(int nFd)
{
    const std::string path = PathOf(nFd);
    const int nOther = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const bool bLocked = nOther >= 0 && RealFlock(nOther, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    if (nOther >= 0)
        close(nOther);
    g_synced.push_back({path, bLocked});
    struct stat info = {};
    if (g_bFailFolderSync && fstat(nFd, &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EIO;
        return -1;
    }
    static const auto pRealFsync = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return pRealFsync(nFd);
}

// When set, the next waiting lock first removes the file it is about to lock, as another save's
// sweep does when it comes upon a temporary file that was made but not yet locked.
static bool g_bSweepBeforeNextLock = false;

extern "C" int flock(int nFd, int nOperation)
{
    if (g_bSweepBeforeNextLock && nOperation == LOCK_EX) {
        g_bSweepBeforeNextLock = false;
        unlink(PathOf(nFd).c_str());
    }
    return RealFlock(nFd, nOperation);
}

namespace {

const std::string kResetFile = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                               "<RootInfo version=\"100\">\n    <Configuration />\n</RootInfo>\n";
const std::string kValidFile
    = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo version=\"100\">\n"
      "    <Configuration>\n        <Email>\n            <EmailAddress>frame@example.org"
      "</EmailAddress>\n        </Email>\n    </Configuration>\n</RootInfo>\n";
const char kBroken[] = "<RootInfo><Configuration><Email>unfinished";
constexpr std::nullopt_t kNone = std::nullopt;

// The names in a folder, as bytes: a name need not be UTF-8.
std::set<std::string> Entries(const std::string& folder)
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.insert(entry.path().filename());
    return names;
}

class ConfigDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetDocuments();
        SetConfigPaths(m_drive.Path());
    }
    void TearDown() override
    {
        ResetDocuments();
        // By bytes: QTemporaryDir cannot remove a folder whose name is not UTF-8.
        std::error_code error;
        std::filesystem::remove_all(m_drive.Path().Bytes(), error);
    }

    // Loads the file as start-up does, answering the reset message if it comes.
    std::vector<SeenMessageBox> Load()
    {
        CModalScript script;
        script.ThenAnswerMessageBox();
        LoadConfigDocument();
        LoadScanDocument();
        return script.MessageBoxes();
    }
    // Adds a section the way a page does, so that a save has something new to write.
    static void ChangeSomething() { AppendTextElement(theConfigElement, "LocalNetSharing", "changed"); }
    std::string Folder() const { return m_drive.Path().Bytes() + "/System/Configuration"; }

    CScratchDrive m_drive;
};

// A card as someone left it, what start-up says, and what the first save leaves (the whole file; none
// when the save fails) and the backup of a file that could not be read. Start-up writes nothing,
// nothing off the card is read or written, nothing blocks, and the saves leave regular files that
// keep the mode and owner of the file they replace.
struct CardCase
{
    const char* pszName;
    bool bReset; // start-up says "Invalid Configfile, Resetting contents"
    bool bScan; // scan.xml loads
    std::optional<std::string> saved, config = kNone, scan = kNone, bak = kNone;
    // f is the card's System/Configuration folder on the drive d, o a folder off the card holding a
    // private file "secret" and valid Configuration.xml and scan.xml. Returns the drive.
    std::function<std::string(const std::string& d, const std::string& f, const std::string& o)> prepare = nullptr;
};

void PrintTo(const CardCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}

std::string Link(const std::string& target, const std::string& path, const std::string& drive)
{
    EXPECT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
    return drive;
}

std::vector<CardCase> CardCases()
{
    std::string deep;
    for (int i = 0; i < 60000; ++i)
        deep += "<a>";
    return {
        {"Missing", true, false, kResetFile},
        {"ValidWithScan", false, true, kValidFile, kValidFile, "<Scan><NetworkConnectionInfo/></Scan>"},
        {"AnyRootNameIsKept", false, false,
         "<Frame kind=\"x\">\n    <Configuration>\n        <A>1</A>\n    </Configuration>\n</Frame>\n",
         "<Frame kind=\"x\"><Configuration><A>1</A></Configuration></Frame>"},
        {"RootWithoutConfigurationGetsOne", false, false,
         "<RootInfo version=\"100\">\n    <Other>kept</Other>\n    <Configuration />\n</RootInfo>\n",
         "<RootInfo version=\"100\"><Other>kept</Other></RootInfo>"},
        {"NestedTooDeeply", true, false, kResetFile, deep, deep, deep},
        // The reader used to drop such values.
        {"BareAmpersandsStay", false, false,
         "<RootInfo>\n    <Configuration>\n        <Email>\n            <EmailAddress kind=\"A&amp;B\">AT&amp;T "
         "Photos&amp;Videos &amp;</EmailAddress>\n        </Email>\n    </Configuration>\n</RootInfo>\n",
         "<RootInfo><Configuration><Email><EmailAddress kind=\"A&B\">AT&T Photos&Videos &</EmailAddress></Email>"
         "</Configuration></RootInfo>"},
        // Values another tool wrote in pieces (texts, CDATA sections, a comment between) print as
        // they were read: laid out again, they would change for every reader.
        {"ValuesInPiecesPrintAsRead", false, false,
         "<RootInfo>\n    <Configuration>\n        <SMB>\n            <SmbWorkgroup>AT<![CDATA[&]]>T</SmbWorkgroup>\n"
         "            <SmbHostName>FAMILY<!-- the big one -->-PC</SmbHostName>\n            <SSID>"
         "<![CDATA[Photos]]]]><![CDATA[>2024]]></SSID>\n        </SMB>\n    </Configuration>\n</RootInfo>\n",
         "<RootInfo><Configuration><SMB><SmbWorkgroup>AT<![CDATA[&]]>T</SmbWorkgroup><SmbHostName>FAMILY<!-- the big "
         "one -->-PC</SmbHostName><SSID><![CDATA[Photos]]]]><![CDATA[>2024]]></SSID></SMB></Configuration></RootInfo>"},
        // The layout is TinyXML's: line ends come back as LF.
        {"CrLfLineEndsComeBackAsLf", false, false, kValidFile,
         [] {
             std::string crlf;
             for (char c : kValidFile)
                 crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
             return crlf;
         }()},
        // Root saves here: a user's file stays the user's, and as private in its copy.
        {"BrokenIsKeptAsBackupWithItsModeAndOwner", true, false, kResetFile, kBroken, kNone, kBroken,
         [](auto& d, auto& f, auto&) {
             const std::string path = f + "/Configuration.xml";
             EXPECT_EQ(chmod(path.c_str(), 0604) | (geteuid() == 0 ? chown(path.c_str(), 65534, 65534) : 0), 0);
             return d;
         }},
        {"SparseFileOver64MiB", true, false, kResetFile, kValidFile, kNone, kNone,
         [](auto& d, auto& f, auto&) {
             EXPECT_EQ(truncate((f + "/Configuration.xml").c_str(), 64 * 1024 * 1024 + 1), 0);
             return d;
         }},
        {"ConfigurationLinkedOutside", true, false, kResetFile, kNone, kNone, kNone,
         [](auto& d, auto& f, auto& o) { return Link(o + "/secret", f + "/Configuration.xml", d); }},
        {"ScanAndBackupLinkedOutside", true, false, kResetFile, kBroken, kNone, kBroken,
         [](auto& d, auto& f, auto& o) {
             return Link(o + "/scan.xml", f + "/scan.xml", d), Link(o + "/victim", f + "/Configuration.xml.bak", d);
         }},
        {"FolderLinkedOutside", true, false, kNone, kNone, kNone, kNone,
         [](auto& d, auto& f, auto& o) { return rmdir(f.c_str()), Link(o, f, d); }},
        {"LinkInsideTheCardIsWrittenThrough", false, false, kValidFile, kValidFile, kNone, kNone,
         [](auto& d, auto& f, auto&) {
             EXPECT_EQ(rename((f + "/Configuration.xml").c_str(), (d + "/real.xml").c_str()), 0);
             return Link("../../real.xml", f + "/Configuration.xml", d);
         }},
        // FIFOs stand for every kind of file that is not a regular one (sockets, devices): the same
        // check refuses them before anything is opened, and opening a FIFO would block the run.
        {"Fifos", true, false, kResetFile, kNone, kNone, kNone,
         [](auto& d, auto& f, auto&) {
             EXPECT_EQ(mkfifo((f + "/Configuration.xml").c_str(), 0644) | mkfifo((f + "/scan.xml").c_str(), 0644), 0);
             return d;
         }},
        // A card pulled out before OK is tested on every page (PageRulesTest).
        {"ConfigurationIsAFolder", true, false, kNone, kNone, kNone, kNone,
         [](auto& d, auto& f, auto&) { return std::filesystem::create_directories(f + "/Configuration.xml/in"), d; }},
        {"Latin1FolderName", false, true, kValidFile, kValidFile, "<Scan/>", kNone,
         [](auto& d, auto&, auto&) {
             EXPECT_EQ(mkdir((d + "/Caf\xE9").c_str(), 0755)
                           | rename((d + "/System").c_str(), (d + "/Caf\xE9/System").c_str()),
                       0);
             return d + "/Caf\xE9";
         }},
    };
}

class CardTest : public ConfigDocumentTest, public ::testing::WithParamInterface<CardCase>
{};

std::string Snapshot(const std::string& folder)
{
    std::string all;
    for (const std::string& name : Entries(folder))
        all += name + "=" + ReadFileBytes(folder + "/" + name) + "\n";
    return all;
}

} // namespace

TEST_P(CardTest, StartupSaysWhatItResetsAndReadsNothingOffTheCardAndTheSavesKeepWhatCouldBeLost)
{
    const CardCase& c = GetParam();
    QTemporaryDir outsideDir;
    const std::string outside = outsideDir.path().toStdString();
    WriteFileBytes(outside + "/secret", "<Secret>private key</Secret>");
    WriteFileBytes(outside + "/Configuration.xml", kValidFile);
    WriteFileBytes(outside + "/scan.xml", "<Scan/>");
    ASSERT_EQ(chmod((outside + "/secret").c_str(), 0600), 0);
    const std::string outsideBefore = Snapshot(outside);
    if (c.config)
        m_drive.WriteConfig(*c.config);
    if (c.scan)
        m_drive.WriteScan(*c.scan);
    const std::string drive = c.prepare ? c.prepare(m_drive.Path().Bytes(), Folder(), outside) : m_drive.Path().Bytes();
    SetConfigPaths(CString(drive));
    const std::string folder = drive + "/System/Configuration";
    const std::string config = folder + "/Configuration.xml";
    const auto entries = Entries(folder);
    struct stat old = {};
    const bool bRegular = lstat(config.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    QStringList boxes;
    for (const SeenMessageBox& box : Load())
        boxes << box.caption + ": " + box.text + (box.owner ? " (owned by a window)" : "");
    EXPECT_EQ(boxes, c.bReset ? QStringList{"Error: Invalid Configfile, Resetting contents"} : QStringList());
    ASSERT_NE(theConfigElement, nullptr);
    EXPECT_EQ(theScanRoot != nullptr, c.bScan);
    EXPECT_EQ(Entries(folder), entries) << "start-up writes nothing";

    CModalScript script;
    script.ThenAnswerMessageBox();
    EXPECT_EQ(SaveConfigDocument(nullptr), c.saved.has_value());
    EXPECT_EQ(script.MessageBoxes().size(), c.saved ? 0u : 1u);
    if (!c.saved) {
        EXPECT_EQ(Entries(folder), entries) << "a failed save leaves nothing behind";
    } else {
        EXPECT_EQ(ReadFileBytes(config), *c.saved);
        // Later saves replace only the file: the backup keeps the bytes the user could lose.
        ChangeSomething();
        ASSERT_TRUE(SaveConfigDocument(nullptr));
        EXPECT_NE(ReadFileBytes(config).find("changed"), std::string::npos);
        for (const std::string& path : {config, config + ".bak"}) {
            struct stat now = {};
            if (lstat(path.c_str(), &now) != 0)
                continue;
            EXPECT_EQ(S_ISLNK(now.st_mode),
                      path == config && std::string(c.pszName).find("Inside") != std::string::npos);
            EXPECT_TRUE(S_ISLNK(now.st_mode) || S_ISREG(now.st_mode)) << path;
            if (bRegular) {
                EXPECT_EQ(std::tie(now.st_mode, now.st_uid, now.st_gid), std::tie(old.st_mode, old.st_uid, old.st_gid))
                    << path;
            }
        }
    }
    EXPECT_EQ(Entries(folder).count("Configuration.xml.bak") ? std::optional(ReadFileBytes(config + ".bak")) : kNone,
              c.bak);
    EXPECT_EQ(Snapshot(outside), outsideBefore);
}

INSTANTIATE_TEST_SUITE_P(Cards, CardTest, ::testing::ValuesIn(CardCases()),
                         [](const auto& info) { return std::string(info.param.pszName); });

// Beside the frame's file the user keeps copies of their own, under any name. A save writes a hidden
// temporary file of its own pattern, locked and flushed, renames it and then flushes the folder; it
// clears a killed save's leftover of that pattern, leaves one that a running save holds locked, and
// never touches any other file.
TEST_F(ConfigDocumentTest, SaveKeepsTheUsersFilesBesideItAndClearsOnlyLeftoversNoSaveHoldsLocked)
{
    m_drive.WriteConfig(kValidFile);
    const std::set<std::string> users = {"Configuration.xml.backup",
                                         "Configuration.xml.orig01",
                                         "Configuration.xml.ABC123",
                                         "Configuration.xml.bak",
                                         "Other.xml.ABC123",
                                         ".Configuration.xml.dpf-settings-AbC123",
                                         "Configuration.xml.dpf-settings-AbC123xyZ0",
                                         ".Configuration.xml.dpf-settings-AbC123xyZ0~"};
    for (const std::string& name : users)
        WriteFileBytes(Folder() + "/" + name, "the user's " + name);
    const std::string running = ".Configuration.xml.dpf-settings-Running123";
    for (const char* pszKilled :
         {".Configuration.xml.dpf-settings-AbC123xyZ0", ".Configuration.xml.bak.dpf-settings-0123456789"})
        WriteFileBytes(Folder() + "/" + pszKilled, "half a save");
    WriteFileBytes(Folder() + "/" + running, "a save under way");
    const int nRunning = open((Folder() + "/" + running).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(nRunning, LOCK_EX), 0);
    Load();
    ChangeSomething();
    g_synced.clear();
    CModalScript script;
    script.ThenAnswerMessageBox();
    const bool bSaved = SaveConfigDocument(nullptr);
    close(nRunning);
    ASSERT_TRUE(bSaved);
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
    std::set<std::string> expected = users;
    expected.insert({"Configuration.xml", running});
    EXPECT_EQ(Entries(Folder()), expected);
    for (const std::string& name : users)
        EXPECT_EQ(ReadFileBytes(Folder() + "/" + name), "the user's " + name);

    const std::string prefix = std::filesystem::canonical(Folder()).string() + "/.Configuration.xml.dpf-settings-";
    ASSERT_EQ(g_synced.size(), 2u);
    EXPECT_EQ(g_synced[0].path.substr(0, prefix.size()), prefix);
    EXPECT_EQ(g_synced[0].path.size(), prefix.size() + 10) << g_synced[0].path;
    EXPECT_TRUE(g_synced[0].bLocked) << "the temporary file is locked while it is written";
    EXPECT_EQ(g_synced[1].path, std::filesystem::canonical(Folder()).string());
}

// Two editors saving to one card at once: the other's sweep may remove this save's new temporary
// file before this save has locked it.
TEST_F(ConfigDocumentTest, ASaveWhoseTemporaryFileAnotherSaveRemovedBeforeItWasLockedSavesThroughANewOne)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    ChangeSomething();
    g_bSweepBeforeNextLock = true;
    CModalScript script;
    script.ThenAnswerMessageBox();
    EXPECT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_FALSE(g_bSweepBeforeNextLock) << "the save locked no file";
    g_bSweepBeforeNextLock = false;
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
    EXPECT_EQ(Entries(Folder()), std::set<std::string>{"Configuration.xml"});
}

namespace {

// Each fault: the save fails, the user reads which file and why in a box owned by the page, the old
// file stays byte-identical and no temporary file is left behind. The save runs in a child process
// that first makes the fault (prepare answers false when it cannot), so that the fault stays there.
class SaveFaultTest : public ConfigDocumentTest
{
protected:
    SaveFaultTest() { m_owner.Attach(&m_page); }
    void ExpectFailedSave(const std::function<bool()>& prepare, const char* pszWhy = "")
    {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (!prepare())
                _exit(3);
            CModalScript script;
            script.ThenAnswerMessageBox();
            EXPECT_FALSE(SaveConfigDocument(&m_owner));
            EXPECT_EQ(script.MessageBoxes().size(), 1u);
            for (const SeenMessageBox& box : script.MessageBoxes()) {
                EXPECT_EQ(box.caption, "Error");
                EXPECT_EQ(box.owner, m_owner.GetSafeHwnd());
                EXPECT_TRUE(box.text.contains(QString::fromStdString(m_drive.ConfigPath()))) << box.text.toStdString();
                EXPECT_TRUE(box.text.contains(pszWhy)) << box.text.toStdString();
            }
            _exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "the child's checks failed (3: it could not make the fault)";
        EXPECT_EQ(m_drive.ReadConfig(), kValidFile);
        EXPECT_EQ(Entries(Folder()), std::set<std::string>{"Configuration.xml"});
    }

    QWidget m_page;
    CWnd m_owner;
};

} // namespace

// That the next confirm saves once the fault is gone is tested on every page (PageRulesTest).
TEST_F(SaveFaultTest, ReadOnlyCardOrFileFullMediumAndAFileTooLargeForTheNextStartFailVisiblyAndLeaveTheOldFile)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    ChangeSomething();
    ASSERT_EQ(chmod(m_drive.Path(), 0755) | chmod(Folder().c_str(), 0555), 0);
    // Root writes whatever the permission bits say: it gives up root, as an ordinary user at a
    // read-only card.
    ExpectFailedSave(
        [] { return geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0); });
    ASSERT_EQ(chmod(Folder().c_str(), 0755), 0);
    // A file marked read-only stays as it is, for its owner and for root.
    ASSERT_EQ(chmod(m_drive.ConfigPath().c_str(), 0444), 0);
    ExpectFailedSave([] { return true; }, "read-only");
    ASSERT_EQ(chmod(m_drive.ConfigPath().c_str(), 0644), 0);
    // A value larger than the room left: the write fails part-way.
    AppendTextElement(theConfigElement, "Big", std::string(64 * 1024, 'x').c_str());
    ExpectFailedSave([] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        return setrlimit(RLIMIT_FSIZE, &limit) == 0;
    });
    // The next start would refuse to read it.
    AppendTextElement(theConfigElement, "Big", std::string(64 * 1024 * 1024, 'x').c_str());
    ExpectFailedSave([] { return true; });
}

TEST_F(SaveFaultTest, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewFileWhole)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    // Two versions of the file, both larger than one write, so that a kill can land in the middle.
    const auto save = [](bool bA) {
        if (TiXmlElement* pOld = theConfigElement->FirstChildElement("Big"))
            theConfigElement->RemoveChild(pOld);
        AppendTextElement(theConfigElement, "Big", std::string(bA ? 200000 : 150000, bA ? 'a' : 'b').c_str());
        return SaveConfigDocument(nullptr);
    };
    ASSERT_TRUE(save(true));
    const std::string versionA = m_drive.ReadConfig();
    ASSERT_TRUE(save(false));
    const std::string versionB = m_drive.ReadConfig();

    std::srand(2026);
    for (int i = 0; i < 200; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        // The child saves until it is killed. It reads the card first, as a second editor would: a
        // save over what another one wrote since would ask first.
        if (pid == 0)
            LoadConfigDocument();
        for (int n = 0; pid == 0; ++n)
            save(n % 2);
        usleep(static_cast<useconds_t>(std::rand() % 20000));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself";
        const std::string bytes = m_drive.ReadConfig();
        ASSERT_TRUE(bytes == versionA || bytes == versionB) << "after kill " << i << ": " << bytes.size() << " bytes";
    }
    // A killed save holds no lock any more: the next save clears what the kills left.
    LoadConfigDocument();
    ASSERT_TRUE(save(true));
    EXPECT_EQ(Entries(Folder()), std::set<std::string>{"Configuration.xml"});
}

// A file this user may not read may hold good settings: it is not called invalid, and, since nobody
// could keep a copy of it, no save of this run replaces it, although the folder lets one.
TEST_F(SaveFaultTest, AFileThatCannotBeReadIsNotCalledInvalidAndNeverSavedOver)
{
    m_drive.WriteConfig(kValidFile);
    const std::string system = m_drive.Path().Bytes() + "/System";
    ASSERT_EQ(chmod(m_drive.Path(), 0755) | chmod(system.c_str(), 0755) | chmod(Folder().c_str(), 0777)
                  | chmod(m_drive.ConfigPath().c_str(), 0),
              0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (geteuid() == 0 && !(setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0))
            _exit(3);
        CModalScript script;
        script.ThenAnswerMessageBox().ThenAnswerMessageBox();
        LoadConfigDocument();
        ChangeSomething();
        EXPECT_FALSE(SaveConfigDocument(&m_owner));
        const auto& boxes = script.MessageBoxes();
        EXPECT_EQ(boxes.size(), 2u);
        if (boxes.size() == 2) {
            EXPECT_TRUE(boxes[0].text.startsWith(QString::fromStdString(m_drive.ConfigPath() + " could not be read: ")))
                << boxes[0].text.toStdString();
            EXPECT_TRUE(boxes[1].text.contains("could not be read when DPF Settings started"))
                << boxes[1].text.toStdString();
        }
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child's checks failed";
    ASSERT_EQ(chmod(m_drive.ConfigPath().c_str(), 0644), 0);
    EXPECT_EQ(m_drive.ReadConfig(), kValidFile);
    EXPECT_EQ(Entries(Folder()), std::set<std::string>{"Configuration.xml"});
}

// Another editor, or another tool, wrote the file while this one had it open: a save asks before it
// undoes that. Cancel, the default, writes nothing; Overwrite saves.
TEST_F(ConfigDocumentTest, AFileAnotherWriterChangedSinceTheLoadIsOverwrittenOnlyWhenTheUserSaysSo)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    ChangeSomething();
    const std::string theirs = ConfigFile("<LocalNetSharing><SMB><SmbWorkgroup>THEIRS</SmbWorkgroup></SMB>"
                                          "</LocalNetSharing>");
    m_drive.WriteConfig(theirs);
    QStringList seen;
    CModalScript script;
    script
        .Then([&](QDialog* pBox) {
            auto* pQuestion = qobject_cast<QMessageBox*>(pBox);
            ASSERT_NE(pQuestion, nullptr);
            seen << pQuestion->windowTitle() << pQuestion->text() << pQuestion->defaultButton()->text();
            QTest::keyClick(pBox, Qt::Key_Escape);
        })
        .Then([](QDialog* pBox) {
            for (QAbstractButton* pButton : qobject_cast<QMessageBox*>(pBox)->buttons()) {
                if (pButton->text() == "Overwrite")
                    ClickButton(pButton);
            }
        });
    EXPECT_FALSE(SaveConfigDocument(nullptr));
    EXPECT_EQ(m_drive.ReadConfig(), theirs);
    EXPECT_EQ(seen,
              (QStringList{"Settings Changed on the Card",
                           "Configuration.xml was changed on the card after DPF Settings read it. Saving now "
                           "would undo those changes.",
                           "Cancel"}));
    EXPECT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
    EXPECT_EQ(script.Remaining(), 0);
    // What this editor wrote is what it now knows: the next save asks nothing.
    EXPECT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(script.Unexpected(), 0);
}

// The rename is done when the card goes: the settings are saved, and the user is told to eject the
// card safely rather than to press OK again.
TEST_F(ConfigDocumentTest, AFolderThatCannotBeFlushedAfterTheRenameIsASavedFileAndASafeEjectIsAsked)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    ChangeSomething();
    CModalScript script;
    script.ThenAnswerMessageBox();
    g_bFailFolderSync = true;
    EXPECT_TRUE(SaveConfigDocument(nullptr));
    g_bFailFolderSync = false;
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_TRUE(script.MessageBoxes()[0].text.contains("were saved")) << script.MessageBoxes()[0].text.toStdString();
    EXPECT_TRUE(script.MessageBoxes()[0].text.contains("Eject the card safely"));
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
}
