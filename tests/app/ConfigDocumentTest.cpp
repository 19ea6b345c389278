#include "app/ConfigDocument.h"
#include "app/XmlFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

#include <grp.h>
#include <cstdlib>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kResetFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
    "<RootInfo version=\"100\">\n"
    "    <Configuration />\n"
    "</RootInfo>\n";

const std::string kValidFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
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

TEST_F(ConfigDocumentTest, MissingFileIsReportedOnceAndFirstSaveCreatesTheResetDocument)
{
    const auto boxes = Load();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Invalid Configfile, Resetting contents");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].owner, nullptr);
    ASSERT_NE(theConfigElement, nullptr);
    EXPECT_FALSE(m_drive.ConfigExists()) << "the reset document is not written at start-up";

    CModalScript noMessages;
    EXPECT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(m_drive.ReadConfig(), kResetFile);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(m_drive.ConfigPath() + ".bak")));
}

TEST_F(ConfigDocumentTest, ValidFileLoadsSilentlyAndSavesBackByteForByte)
{
    m_drive.WriteConfig(kValidFile);
    EXPECT_TRUE(Load().empty());
    EXPECT_EQ(GetChildText(theConfigElement->FirstChildElement("Email"), "EmailAddress"), "frame@example.org");
    CModalScript noMessages;
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(m_drive.ReadConfig(), kValidFile);
}

TEST_F(ConfigDocumentTest, AnyRootNameIsKeptAndARootWithoutConfigurationGetsOne)
{
    m_drive.WriteConfig("<Frame kind=\"x\"><Configuration><A>1</A></Configuration></Frame>");
    EXPECT_TRUE(Load().empty());
    EXPECT_STREQ(theConfigElement->Parent()->Value(), "Frame");
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(m_drive.ReadConfig(), "<Frame kind=\"x\">\n    <Configuration>\n        <A>1</A>\n    </Configuration>\n</Frame>\n");

    ResetDocuments();
    m_drive.WriteConfig("<RootInfo version=\"100\"><Other>kept</Other></RootInfo>");
    EXPECT_TRUE(Load().empty());
    ASSERT_NE(theConfigElement, nullptr);
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(m_drive.ReadConfig(), "<RootInfo version=\"100\">\n    <Other>kept</Other>\n    <Configuration />\n</RootInfo>\n");
}

TEST_F(ConfigDocumentTest, BrokenFileIsKeptAsBackupBeforeTheFirstSaveReplacesIt)
{
    const std::string broken = "<RootInfo><Configuration><Email>unfinished";
    m_drive.WriteConfig(broken);
    ASSERT_EQ(Load().size(), 1u);
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(ReadFileBytes(m_drive.ConfigPath() + ".bak"), broken);
    EXPECT_EQ(m_drive.ReadConfig(), kResetFile);

    // Later saves replace only the file: the backup keeps the bytes the user could lose.
    ChangeSomething();
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    EXPECT_EQ(ReadFileBytes(m_drive.ConfigPath() + ".bak"), broken);
}

TEST_F(ConfigDocumentTest, FileNestedTooDeeplyIsAnInvalidFileAndADeepScanIsNoScan)
{
    std::string deep;
    for (int i = 0; i < 60000; ++i)
        deep += "<a>";
    m_drive.WriteConfig(deep);
    m_drive.WriteScan(deep);
    EXPECT_EQ(Load().size(), 1u);
    EXPECT_EQ(theScanRoot, nullptr);
    ASSERT_NE(theConfigElement, nullptr);
}

TEST_F(ConfigDocumentTest, ScanIsReadSilentlyOrIsNone)
{
    m_drive.WriteConfig(kValidFile);
    m_drive.WriteScan("<Scan><NetworkConnectionInfo/></Scan>");
    EXPECT_TRUE(Load().empty());
    ASSERT_NE(theScanRoot, nullptr);
    EXPECT_STREQ(theScanRoot->Value(), "Scan");

    ResetDocuments();
    m_drive.WriteScan("<Scan>");
    EXPECT_TRUE(Load().empty());
    EXPECT_EQ(theScanRoot, nullptr);
}

TEST_F(ConfigDocumentTest, SaveKeepsThePermissionBitsOfTheFile)
{
    m_drive.WriteConfig(kValidFile);
    ASSERT_EQ(chmod(m_drive.ConfigPath().c_str(), 0640), 0);
    Load();
    ChangeSomething();
    ASSERT_TRUE(SaveConfigDocument(nullptr));
    struct stat info{};
    ASSERT_EQ(stat(m_drive.ConfigPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_NE(m_drive.ReadConfig().find("changed"), std::string::npos);
}

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

TEST_F(SaveFaultTest, MissingFolderFailsVisiblyAndTheRetrySucceedsOnceItIsBack)
{
    m_drive.WriteConfig(kValidFile);
    Load();
    ChangeSomething();
    const QString folder = QString::fromStdString(m_drive.Path().Bytes() + "/System");
    ASSERT_TRUE(QDir(folder).removeRecursively()); // the card was pulled out
    CPageOwner owner;
    ExpectFailedSaveReported(owner.GetSafeHwnd(), &owner);

    QDir().mkpath(folder + "/Configuration");
    ASSERT_TRUE(SaveConfigDocument(&owner));
    EXPECT_NE(m_drive.ReadConfig().find("<LocalNetSharing>changed</LocalNetSharing>"), std::string::npos);
}

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
        ExpectFailedSaveReportedInChild(owner, [] {
            return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
        });
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
        ASSERT_TRUE(bytes == versionA || bytes == versionB) << "after kill " << i << " the file is " << bytes.size() << " bytes";
        TiXmlDocument check;
        bool bBom = false;
        CString strError;
        ASSERT_TRUE(ParseXmlFile(check, bytes, bBom, strError));
    }
    EXPECT_EQ(nKilledMidway, 200);
}
