#include "app/ConfigDocument.h"
#include "app/XmlFile.h"
#include "platform/Files.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What every fsync of this test program flushed, by path, so that a test can tell what the save put
// on the medium and in which order.
std::vector<std::string> g_synced;

} // namespace

extern "C" int fsync(int nFd)
{
    char target[PATH_MAX] = {};
    const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(nFd)).c_str(), target, sizeof target - 1);
    g_synced.emplace_back(target, n > 0 ? static_cast<size_t>(n) : 0);
    static const auto pRealFsync = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    return pRealFsync(nFd);
}

namespace {

const std::string kResetFile = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                               "<RootInfo version=\"100\">\n"
                               "    <Configuration />\n"
                               "</RootInfo>\n";

const std::string kValidFile = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
                               "<RootInfo version=\"100\">\n"
                               "    <Configuration>\n"
                               "        <Email>\n"
                               "            <EmailAddress>frame@example.org</EmailAddress>\n"
                               "        </Email>\n"
                               "    </Configuration>\n"
                               "</RootInfo>\n";

class ConfigDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetDocuments();
        SetConfigPaths(m_drive.Path());
    }
    void TearDown() override { ResetDocuments(); }

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
    static void ChangeSomething()
    {
        auto* pSection = new TiXmlElement("LocalNetSharing");
        pSection->LinkEndChild(new TiXmlText("changed"));
        theConfigElement->LinkEndChild(pSection);
    }

    CScratchDrive m_drive;
};

} // namespace

namespace {

// A card's files as start-up finds them (nullptr: absent), what start-up says, and what the first save
// leaves: the file, and the backup of a file that could not be read.
struct LoadCase
{
    const char* pszName;
    std::optional<std::string> config;
    std::optional<std::string> scan;
    bool bReset; // "Invalid Configfile, Resetting contents"
    bool bScan; // the scan loads
    std::string saved;
    std::optional<std::string> bak;
};

void PrintTo(const LoadCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}

std::vector<LoadCase> LoadCases()
{
    const std::string broken = "<RootInfo><Configuration><Email>unfinished";
    std::string nested;
    for (int i = 0; i < 60000; ++i)
        nested += "<a>";
    return {
        {"Missing", std::nullopt, std::nullopt, true, false, kResetFile, std::nullopt},
        {"ValidWithScan", kValidFile, "<Scan><NetworkConnectionInfo/></Scan>", false, true, kValidFile, std::nullopt},
        {"BrokenScanIsNoScan", kValidFile, "<Scan>", false, false, kValidFile, std::nullopt},
        {"AnyRootNameIsKept", "<Frame kind=\"x\"><Configuration><A>1</A></Configuration></Frame>", std::nullopt, false,
         false, "<Frame kind=\"x\">\n    <Configuration>\n        <A>1</A>\n    </Configuration>\n</Frame>\n",
         std::nullopt},
        {"RootWithoutConfigurationGetsOne", "<RootInfo version=\"100\"><Other>kept</Other></RootInfo>", std::nullopt,
         false, false, "<RootInfo version=\"100\">\n    <Other>kept</Other>\n    <Configuration />\n</RootInfo>\n",
         std::nullopt},
        {"BrokenIsKeptAsBackup", broken, std::nullopt, true, false, kResetFile, broken},
        {"NestedTooDeeply", nested, nested, true, false, kResetFile, nested},
    };
}

class LoadTest : public ConfigDocumentTest, public ::testing::WithParamInterface<LoadCase>
{};

} // namespace

TEST_P(LoadTest, StartupSaysWhatItResetsAndTheFirstSaveKeepsWhatCouldBeLost)
{
    const LoadCase& c = GetParam();
    if (c.config)
        m_drive.WriteConfig(*c.config);
    if (c.scan)
        m_drive.WriteScan(*c.scan);
    const auto boxes = Load();
    ASSERT_EQ(boxes.size(), c.bReset ? 1u : 0u);
    if (c.bReset) {
        EXPECT_EQ(boxes[0].text, "Invalid Configfile, Resetting contents");
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].owner, nullptr);
    }
    ASSERT_NE(theConfigElement, nullptr);
    EXPECT_EQ(theScanRoot != nullptr, c.bScan);
    EXPECT_EQ(m_drive.ConfigExists(), c.config.has_value()) << "the reset document is not written at start-up";

    CModalScript noMessages;
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(m_drive.ReadConfig(), c.saved);
    const std::string bak = m_drive.ConfigPath() + ".bak";
    EXPECT_EQ(QFile::exists(QString::fromStdString(bak)), c.bak.has_value());
    // Later saves replace only the file: the backup keeps the bytes the user could lose.
    ChangeSomething();
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    if (c.bak) {
        EXPECT_EQ(ReadFileBytes(bak), *c.bak);
    }
}

INSTANTIATE_TEST_SUITE_P(Cards, LoadTest, ::testing::ValuesIn(LoadCases()),
                         [](const ::testing::TestParamInfo<LoadCase>& info) {
                             return std::string(info.param.pszName);
                         });

TEST_F(ConfigDocumentTest, SaveKeepsModeAndOwnerAndTheBackupTakesThoseOfTheFileItCopies)
{
    // Root saves here: the owner must stay the user's, and a private file stays private in its copy.
    const bool bRoot = geteuid() == 0;
    const mode_t nOldMask = umask(022);
    m_drive.WriteConfig("<RootInfo><Configuration><Email>unfinished");
    ASSERT_EQ(chmod(m_drive.ConfigPath().c_str(), 0600), 0);
    if (bRoot) {
        ASSERT_EQ(chown(m_drive.ConfigPath().c_str(), 65534, 65534), 0);
    }
    Load();
    ChangeSomething();
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    umask(nOldMask);
    for (const std::string& path : {m_drive.ConfigPath(), m_drive.ConfigPath() + ".bak"}) {
        struct stat info
        {};
        ASSERT_EQ(lstat(path.c_str(), &info), 0) << path;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << path;
        if (bRoot) {
            EXPECT_EQ(info.st_uid, 65534u) << path;
            EXPECT_EQ(info.st_gid, 65534u) << path;
        }
    }
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
}

// FAT and exFAT cards have no unnamed temporary files: the save writes a named one, flushes it, renames
// it and then flushes the folder, and clears what killed saves left, and only that.
TEST_F(ConfigDocumentTest, SaveOnACardWithoutUnnamedFilesSyncsTheFolderAndClearsLeftovers)
{
    m_drive.WriteConfig(kValidFile);
    const std::string folder = m_drive.Path().Bytes() + "/System/Configuration/";
    const QStringList kept = {"Configuration.xml", "Configuration.xml.ab-123", "Configuration.xml.abc12",
                              "Configuration.xml.bak", "Other.xml.ABC123"};
    for (const char* pszName : {"Configuration.xml.ab-123", "Configuration.xml.abc12", "Configuration.xml.bak",
                                "Other.xml.ABC123", "Configuration.xml.AbC123", "Configuration.xml.zz9ZZ9"})
        WriteFileBytes(folder + pszName, "left");
    Load();
    ChangeSomething();
    SetUnnamedTempFilesAllowed(false);
    g_synced.clear();
    const bool bSaved = SaveConfigDocument(nullptr);
    SetUnnamedTempFilesAllowed(true);
    ASSERT_TRUE(bSaved);
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
    const QDir dir(QString::fromStdString(folder));
    EXPECT_EQ(dir.entryList(QDir::Files, QDir::Name), kept);

    const std::string realFolder = QFileInfo(QString::fromStdString(folder)).canonicalFilePath().toStdString();
    ASSERT_EQ(g_synced.size(), 2u);
    EXPECT_EQ(g_synced[0].substr(0, realFolder.size() + 19), realFolder + "/Configuration.xml.");
    EXPECT_EQ(g_synced[0].size(), realFolder.size() + 25) << g_synced[0];
    EXPECT_EQ(g_synced[1], realFolder);
}

namespace {

// A card prepared by someone else: links out of it, things that are not files, a huge file, a value
// the reader used to drop, a folder name that is not UTF-8. Nothing outside the card is read or
// written, nothing blocks, and the save leaves a regular file on the card.
struct PreparedCard
{
    const char* pszName;
    // Makes the card's System/Configuration folder; outside is a folder off the card holding a
    // private file "secret" and valid Configuration.xml and scan.xml. Returns the drive to use.
    std::function<std::string(const std::string& drive, const std::string& folder, const std::string& outside)> prepare;
    bool bReset; // start-up says "Invalid Configfile, Resetting contents"
    bool bScan; // scan.xml loads
    bool bSaves;
    const char* pszSaved; // a text the saved Configuration.xml holds
    const char* pszBak; // what Configuration.xml.bak holds afterwards; nullptr when there is none
};

void PrintTo(const PreparedCard& card, std::ostream* pOut)
{
    *pOut << card.pszName;
}

std::string Link(const std::string& target, const std::string& path, const std::string& drive)
{
    EXPECT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
    return drive;
}

const char kBroken[] = "<RootInfo><Configuration><Email>unfinished";

const PreparedCard kPreparedCards[] = {
    {"ConfigurationLinkedOutside",
     [](auto& d, auto& f, auto& o) { return Link(o + "/secret", f + "/Configuration.xml", d); }, true, false, true,
     "<Configuration>", nullptr},
    {"ScanLinkedOutside",
     [](auto& d, auto& f, auto& o) {
         WriteFileBytes(f + "/Configuration.xml", kValidFile);
         return Link(o + "/scan.xml", f + "/scan.xml", d);
     },
     false, false, true, "frame@example.org", nullptr},
    {"BackupLinkedOutside",
     [](auto& d, auto& f, auto& o) {
         WriteFileBytes(f + "/Configuration.xml", kBroken);
         return Link(o + "/victim", f + "/Configuration.xml.bak", d);
     },
     true, false, true, "<Configuration>", kBroken},
    {"FolderLinkedOutside",
     [](auto& d, auto& f, auto& o) {
         rmdir(f.c_str());
         return Link(o, f, d);
     },
     true, false, false, nullptr, nullptr},
    {"LinkInsideTheCardIsWrittenThrough",
     [](auto& d, auto& f, auto&) {
         QDir().mkpath(QString::fromStdString(d + "/Elsewhere"));
         WriteFileBytes(d + "/Elsewhere/real.xml", kValidFile);
         return Link("../../Elsewhere/real.xml", f + "/Configuration.xml", d);
     },
     false, false, true, "frame@example.org", nullptr},
    {"Fifos",
     [](auto& d, auto& f, auto&) {
         EXPECT_EQ(mkfifo((f + "/Configuration.xml").c_str(), 0644), 0);
         EXPECT_EQ(mkfifo((f + "/scan.xml").c_str(), 0644), 0);
         return d;
     },
     true, false, true, "<Configuration>", nullptr},
    {"DeviceLinks",
     [](auto& d, auto& f, auto&) {
         Link("/dev/zero", f + "/scan.xml", d);
         return Link("/dev/zero", f + "/Configuration.xml", d);
     },
     true, false, true, "<Configuration>", nullptr},
    {"Socket",
     [](auto& d, auto& f, auto&) {
         sockaddr_un address{};
         address.sun_family = AF_UNIX;
         const std::string path = f + "/Configuration.xml";
         EXPECT_LT(path.size(), sizeof address.sun_path);
         path.copy(address.sun_path, sizeof address.sun_path - 1);
         const int nSocket = socket(AF_UNIX, SOCK_STREAM, 0);
         EXPECT_EQ(bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
         close(nSocket);
         return d;
     },
     true, false, true, "<Configuration>", nullptr},
    {"ScanIsAFolder",
     [](auto& d, auto& f, auto&) {
         WriteFileBytes(f + "/Configuration.xml", kValidFile);
         QDir().mkpath(QString::fromStdString(f + "/scan.xml"));
         return d;
     },
     false, false, true, "frame@example.org", nullptr},
    {"SparseFileOver64MiB",
     [](auto& d, auto& f, auto&) {
         WriteFileBytes(f + "/Configuration.xml", kValidFile);
         EXPECT_EQ(truncate((f + "/Configuration.xml").c_str(), 64 * 1024 * 1024 + 1), 0);
         return d;
     },
     true, false, true, "<Configuration>", nullptr},
    {"BareAmpersandsStay",
     [](auto& d, auto& f, auto&) {
         WriteFileBytes(f + "/Configuration.xml",
                        "<RootInfo><Configuration><Email><EmailAddress kind=\"A&B\">AT&T Photos&Videos &</EmailAddress>"
                        "</Email></Configuration></RootInfo>");
         return d;
     },
     false, false, true, "<EmailAddress kind=\"A&amp;B\">AT&amp;T Photos&amp;Videos &amp;</EmailAddress>", nullptr},
    {"Latin1FolderName",
     [](auto& d, auto&, auto&) {
         const std::string drive = d + "/Caf\xE9";
         EXPECT_EQ(mkdir(drive.c_str(), 0755), 0);
         EXPECT_EQ(mkdir((drive + "/System").c_str(), 0755), 0);
         EXPECT_EQ(mkdir((drive + "/System/Configuration").c_str(), 0755), 0);
         WriteFileBytes(drive + "/System/Configuration/Configuration.xml", kValidFile);
         WriteFileBytes(drive + "/System/Configuration/scan.xml", "<Scan/>");
         return drive;
     },
     false, true, true, "frame@example.org", nullptr},
};

class PreparedCardTest : public ConfigDocumentTest, public ::testing::WithParamInterface<PreparedCard>
{};

std::map<std::string, std::string> FolderContents(const std::string& folder)
{
    std::map<std::string, std::string> contents;
    const QDir dir(QString::fromStdString(folder));
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        contents[name.toStdString()] = ReadFileBytes(folder + "/" + name.toStdString());
    return contents;
}

} // namespace

TEST_P(PreparedCardTest, NothingOutsideTheCardIsReadOrWrittenAndTheSaveLeavesARegularFile)
{
    const PreparedCard& card = GetParam();
    QTemporaryDir outsideDir;
    const std::string outside = outsideDir.path().toStdString();
    WriteFileBytes(outside + "/secret", "<Secret>private key</Secret>");
    WriteFileBytes(outside + "/Configuration.xml", kValidFile);
    WriteFileBytes(outside + "/scan.xml", "<Scan/>");
    ASSERT_EQ(chmod((outside + "/secret").c_str(), 0600), 0);
    const auto before = FolderContents(outside);

    const std::string drive = card.prepare(m_drive.Path().Bytes(), m_drive.Path().Bytes() + "/System/Configuration",
                                           outside);
    SetConfigPaths(CString(drive));
    const std::string configPath = drive + "/System/Configuration/Configuration.xml";
    EXPECT_EQ(Load().size(), card.bReset ? 1u : 0u);
    EXPECT_EQ(theScanRoot != nullptr, card.bScan);
    ChangeSomething();
    CModalScript script;
    script.ThenAnswerMessageBox();
    EXPECT_EQ(SaveConfigDocument(nullptr), card.bSaves);
    EXPECT_EQ(script.MessageBoxes().size(), card.bSaves ? 0u : 1u);
    if (card.bSaves) {
        const std::string saved = ReadFileBytes(configPath);
        EXPECT_NE(saved.find(card.pszSaved), std::string::npos) << saved;
        EXPECT_NE(saved.find("changed"), std::string::npos);
        struct stat info
        {};
        ASSERT_EQ(lstat(configPath.c_str(), &info), 0);
        EXPECT_EQ(S_ISLNK(info.st_mode), std::string(card.pszName).find("Inside") != std::string::npos);
        EXPECT_TRUE(S_ISLNK(info.st_mode) || S_ISREG(info.st_mode));
    }
    const std::string bak = configPath + ".bak";
    EXPECT_EQ(QFileInfo::exists(QString::fromStdString(bak)), card.pszBak != nullptr);
    if (card.pszBak) {
        EXPECT_EQ(ReadFileBytes(bak), card.pszBak);
    }
    EXPECT_EQ(FolderContents(outside), before);
}

INSTANTIATE_TEST_SUITE_P(Cards, PreparedCardTest, ::testing::ValuesIn(kPreparedCards),
                         [](const auto& info) { return std::string(info.param.pszName); });

// Each fault: the save fails, the user reads which file and why in a box owned by the page, the old
// file stays byte-identical, no temporary file is left behind, and once the fault is gone the next
// save goes through.
class SaveFaultTest : public ConfigDocumentTest
{
protected:
    void ExpectFailedSaveReported(QWidget* pOwnerWidget, CWnd* pOwner)
    {
        CModalScript script;
        script.ThenAnswerMessageBox();
        EXPECT_FALSE(SaveConfigDocument(pOwner));
        ASSERT_EQ(script.MessageBoxes().size(), 1u);
        const SeenMessageBox& box = script.MessageBoxes()[0];
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.owner, pOwnerWidget);
        EXPECT_TRUE(box.text.contains(QString::fromStdString(m_drive.ConfigPath()))) << box.text.toStdString();
    }

    // Runs the failed-save check in a child process that first makes the fault with prepare (which
    // answers false when it cannot), so that the fault stays with the child.
    void ExpectFailedSaveReportedInChild(CWnd& owner, const std::function<bool()>& prepare)
    {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (!prepare())
                _exit(3);
            ExpectFailedSaveReported(owner.GetSafeHwnd(), &owner);
            _exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's checks failed (3: it could not make the fault)";
    }

    QStringList FolderEntries() const
    {
        return QDir(QString::fromStdString(m_drive.Path().Bytes() + "/System/Configuration"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

class CPageOwner : public CWnd
{
public:
    CPageOwner() { AdoptWindow(new QWidget); }
};

// A card pulled out before OK is tested on every page (PageRulesTest).
TEST_F(SaveFaultTest, ConfigurationPathThatIsAFolderFailsVisiblyAndStaysAFolder)
{
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(m_drive.ConfigPath() + "/inside")));
    ASSERT_EQ(Load().size(), 1u);
    CPageOwner owner;
    ExpectFailedSaveReported(owner.GetSafeHwnd(), &owner);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(m_drive.ConfigPath() + "/inside")).isDir());
    EXPECT_EQ(FolderEntries(), QStringList{"Configuration.xml"});
}

TEST_F(SaveFaultTest, ReadOnlyCardFailsVisiblyAndLeavesTheFileUntouched)
{
    m_drive.WriteConfig(kValidFile);
    const std::string folder = m_drive.Path().Bytes() + "/System/Configuration";
    Load();
    ChangeSomething();
    CPageOwner owner;

    if (geteuid() != 0) {
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
        ASSERT_EQ(chmod(m_drive.ConfigPath().c_str(), 0444), 0);
        ExpectFailedSaveReported(owner.GetSafeHwnd(), &owner);
    } else {
        // Root writes whatever the permission bits say, so the save runs in a child that has given up
        // root, as an ordinary user at a read-only card would.
        ASSERT_EQ(chmod(m_drive.Path(), 0755), 0);
        ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
        ExpectFailedSaveReportedInChild(
            owner, [] { return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0; });
    }
    EXPECT_EQ(m_drive.ReadConfig(), kValidFile);
    EXPECT_EQ(FolderEntries(), QStringList{"Configuration.xml"});

    chmod(folder.c_str(), 0755);
    chmod(m_drive.ConfigPath().c_str(), 0644);
    ASSERT_TRUE(SaveConfigDocument(&owner));
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
}

TEST_F(SaveFaultTest, FullMediumFailsVisiblyAndLeavesTheOldFile)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    // A value larger than the room left: the write fails part-way.
    auto* pBig = new TiXmlElement("Big");
    pBig->LinkEndChild(new TiXmlText(std::string(64 * 1024, 'x')));
    theConfigElement->LinkEndChild(pBig);

    CPageOwner owner;
    ExpectFailedSaveReportedInChild(owner, [] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        return setrlimit(RLIMIT_FSIZE, &limit) == 0;
    });
    EXPECT_EQ(m_drive.ReadConfig(), kValidFile);
    EXPECT_EQ(FolderEntries(), QStringList{"Configuration.xml"});
}

TEST_F(SaveFaultTest, FileLargerThanTheNextStartWouldReadIsNotWritten)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    auto* pBig = new TiXmlElement("Big");
    pBig->LinkEndChild(new TiXmlText(std::string(64 * 1024 * 1024, 'x')));
    theConfigElement->LinkEndChild(pBig);
    CPageOwner owner;
    ExpectFailedSaveReported(owner.GetSafeHwnd(), &owner);
    EXPECT_EQ(m_drive.ReadConfig(), kValidFile);
    EXPECT_EQ(FolderEntries(), QStringList{"Configuration.xml"});
}

TEST_F(SaveFaultTest, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewFileWhole)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    // Two versions of the file, both larger than one write, so that a kill can land in the middle.
    const std::string bigA(200000, 'a');
    const std::string bigB(150000, 'b');
    auto setVersion = [](const std::string& value) {
        if (TiXmlElement* pOld = theConfigElement->FirstChildElement("Big"))
            theConfigElement->RemoveChild(pOld);
        auto* pBig = new TiXmlElement("Big");
        pBig->LinkEndChild(new TiXmlText(value));
        theConfigElement->LinkEndChild(pBig);
    };
    std::string versionA;
    std::string versionB;
    setVersion(bigA);
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    versionA = m_drive.ReadConfig();
    setVersion(bigB);
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    versionB = m_drive.ReadConfig();

    std::srand(2026);
    int nKilledMidway = 0;
    for (int i = 0; i < 200; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int n = 0;; ++n) {
                setVersion(n % 2 ? bigA : bigB);
                SaveConfigDocument(nullptr);
            }
        }
        usleep(static_cast<useconds_t>(std::rand() % 20000));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        nKilledMidway += WIFSIGNALED(status) ? 1 : 0;
        const std::string bytes = m_drive.ReadConfig();
        ASSERT_TRUE(bytes == versionA || bytes == versionB)
            << "after kill " << i << " the file is " << bytes.size() << " bytes";
        TiXmlDocument check;
        bool bBom = false;
        CString strError;
        ASSERT_TRUE(ParseXmlFile(check, bytes, bBom, strError));
    }
    EXPECT_EQ(nKilledMidway, 200);
}
