// SPDX-License-Identifier: GPL-3.0-or-later
// Every valid configuration survives the editor: showing every page, changing it, and pressing OK
// twice gives the same bytes both times, and every value the user did not edit is still there; only
// looking at every page and sorting its lists writes nothing at all. The corpus is the files under
// tests/data/roundtrip, as they are and with blanks, markup characters, non-ASCII and non-UTF-8 bytes
// in their free texts.

#include "TestSupport.h"
#include "documents/ConfigDocument.h"
#include "documents/ScrambledText.h"
#include "documents/XmlFile.h"
#include "platform/PropertySheet.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <set>

namespace {

std::string OddValue(std::mt19937& random, bool bAllowEmpty)
{
    static const char* const pieces[] = {"a", "Z",  "7", " ",        "  ",           "&",    "<",
                                         ">", "\"", "'", "\xC3\xA9", "\xE6\x97\xA5", "\xE9", "\xFF",
                                         "-", ".",  "@", ":",        "::",           "\\"};
    std::string value;
    for (int n = static_cast<int>(random() % 8) + (bAllowEmpty ? 0 : 1); n > 0; --n)
        value += pieces[random() % std::size(pieces)];
    // A value of blanks alone is no value in these files: the XML reader drops text that is all white
    // space, so such a value reads as empty wherever it was written.
    if (!value.empty() && value.find_first_not_of(' ') == std::string::npos)
        value += "b";
    return value;
}

// The free texts of a configuration, each followed by the odd values it takes: ? any, ! any but
// empty, + any, after what it held (names stay apart), * any but empty, stored as the frame stores
// passwords.
const std::string kFreeTexts = " SSID+ DeviceIP? NetMask? GatewayIP? NameServerIP? EmailAddress? SMTPServerName! "
                               "SMTPUserName! SMTPPort? POPUserName! POPPort? ABEmailAddress? ABFname? ABLname? "
                               "DEmailAddress? AEmailAddress? Description? URL? SmbWorkgroup! SmbHostName! SmbUser! "
                               "SmbShareDirectory! KeyPassword* SMTPPassword* FCPassword* SmbPassword* ";

// Collects every leaf under the element as "path=value"; with a random source, each free text first
// takes an odd value.
void Walk(TiXmlElement* pElement, const std::string& path, std::vector<std::string>& leaves, std::mt19937* pRandom)
{
    const std::string name = pElement->Value();
    const size_t nAt = kFreeTexts.find(" " + name);
    const char kind = nAt == std::string::npos ? ' ' : kFreeTexts[nAt + 1 + name.size()];
    if (pRandom && std::strchr("?!+*", kind)) {
        const std::string value = (kind == '+' ? GetElementText(pElement).Bytes() : std::string())
            + OddValue(*pRandom, kind == '?' || kind == '+');
        pElement->Clear();
        pElement->LinkEndChild(
            new TiXmlText(kind == '*' ? ScrambleText(value.c_str(), CONFIG_KEY_TEXT).Bytes() : value));
    }
    if (!pElement->FirstChildElement())
        leaves.push_back(path + "/" + name + "=" + GetElementText(pElement).Bytes());
    for (TiXmlElement* pChild = pElement->FirstChildElement(); pChild; pChild = pChild->NextSiblingElement())
        Walk(pChild, path + "/" + name, leaves, pRandom);
}

// Every leaf value of a file, sorted: the order of profiles and entries may change, the values may
// not. With pOdd, the file's free texts first take odd values from the seed, and pOdd gets that file.
std::vector<std::string> Leaves(const std::string& bytes, std::string* pOdd = nullptr, unsigned nSeed = 0)
{
    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    EXPECT_TRUE(ParseXmlFile(doc, bytes, bBom, strError)) << strError.Bytes();
    std::mt19937 random(nSeed);
    std::vector<std::string> leaves;
    if (doc.RootElement())
        Walk(doc.RootElement(), "", leaves, pOdd ? &random : nullptr);
    EXPECT_TRUE(!pOdd || PrintXmlFile(doc, bBom, *pOdd));
    std::sort(leaves.begin(), leaves.end());
    return leaves;
}

std::string ShowEveryPageAndConfirm(const CScratchDrive& drive)
{
    CModalScript script;
    RunApplication(
        drive,
        [&script](CPropertySheet& sheet) {
            for (int i = 0; i < sheet.GetPageCount(); ++i) {
                EXPECT_TRUE(sheet.SetActivePage(i));
                sheet.GetActivePage()->SetModified(TRUE);
            }
            script.ThenAnswerMessageBox();
            PressSheetButton(sheet, IDOK);
            if (sheet.GetSafeHwnd() && sheet.GetSafeHwnd()->isVisible())
                PressSheetButton(sheet, IDCANCEL);
        },
        &script);
    for (const SeenMessageBox& box : script.MessageBoxes())
        ADD_FAILURE() << "the confirm was refused: " << box.text.toStdString();
    return drive.ReadConfig();
}

std::string ExpectRoundTrip(const std::string& original)
{
    CScratchDrive drive;
    drive.WriteConfig(original);
    const std::string first = ShowEveryPageAndConfirm(drive);
    EXPECT_EQ(first, ShowEveryPageAndConfirm(drive)) << "a second OK must write the same bytes";
    // Sections the editor adds are new; every value the file had is still there, as it was.
    const std::vector<std::string> before = Leaves(original);
    const std::vector<std::string> after = Leaves(first);
    std::vector<std::string> lost;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(lost));
    EXPECT_TRUE(lost.empty()) << "changed or lost: " << (lost.empty() ? std::string() : lost.front());
    ResetDocuments();
    return first;
}

// Walks the page tree with the Down key to its end, sorting each list by its first column on the way,
// and presses OK.
void LookAtEveryPageAndConfirm(const CScratchDrive& drive)
{
    CModalScript script;
    RunApplication(
        drive,
        [](CPropertySheet& sheet) {
            auto* pTree = sheet.GetSafeHwnd()->findChild<QTreeView*>();
            ASSERT_NE(pTree, nullptr);
            pTree->setFocus();
            std::set<int> shown;
            for (int n = 0; n < 3 * sheet.GetPageCount(); ++n) {
                shown.insert(sheet.GetActiveIndex());
                for (QTableView* pList : sheet.GetActivePage()->GetSafeHwnd()->findChildren<QTableView*>()) {
                    QHeaderView* pHeader = pList->horizontalHeader();
                    QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {},
                                      QPoint(pHeader->sectionSize(0) / 2, pHeader->height() / 2));
                }
                QTest::keyClick(pTree, Qt::Key_Down);
            }
            EXPECT_EQ(shown.size(), static_cast<size_t>(sheet.GetPageCount()));
            EXPECT_FALSE(ApplyEnabled(sheet)) << "looking and sorting is no change";
            PressSheetButton(sheet, IDOK);
        },
        &script);
    EXPECT_TRUE(script.MessageBoxes().empty());
}

} // namespace

// The file is not even rewritten: same bytes, same modification time, and no other file appears.
TEST(RoundTrip, OkAfterOnlyLookingAtEveryPageAndSortingItsListsWritesNothing)
{
    const QDir folder(QString::fromStdString(TestDataPath("roundtrip")));
    for (const QString& name : folder.entryList({"*.xml"}, QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        const std::string original = ReadFileBytes(folder.filePath(name).toStdString());
        CScratchDrive drive;
        drive.WriteConfig(original);
        const QFileInfo file(QString::fromStdString(drive.ConfigPath()));
        const QDateTime written = file.lastModified();
        const QStringList beside = file.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QThread::msleep(20);
        LookAtEveryPageAndConfirm(drive);
        EXPECT_EQ(drive.ReadConfig(), original);
        EXPECT_EQ(QFileInfo(file.filePath()).lastModified(), written);
        EXPECT_EQ(file.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), beside);
        ResetDocuments();
    }
}

TEST(RoundTrip, HandWrittenConfigurationsAndTheirFreeTextsWithOddBytesKeepEveryValue)
{
    const QDir folder(QString::fromStdString(TestDataPath("roundtrip")));
    const QStringList files = folder.entryList({"*.xml"}, QDir::Files);
    ASSERT_GE(files.size(), 2);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const std::string original = ReadFileBytes(folder.filePath(name).toStdString());
        for (unsigned nSeed = 0; nSeed <= 6; ++nSeed) {
            SCOPED_TRACE(nSeed);
            std::string odd = original; // seed 0: the file as it is
            if (nSeed)
                Leaves(original, &odd, nSeed);
            ExpectRoundTrip(odd);
        }
    }
}

TEST(RoundTrip, ValuesLongerThanAnEditBoxsDefaultLimitComeBackWhole)
{
    // Qt cuts edit boxes at 32,767 characters by default; a stored SSID that long came back cut, and
    // as a second profile beside the whole one.
    const std::string longValue(40000, 'w');
    const std::string saved = ExpectRoundTrip(ConfigFile(
        "<NetworkConnectionInfo><DeviceName>" + longValue
        + "</DeviceName><NumAccessPoint>1</NumAccessPoint><AccessPoint><Link><SSID>" + longValue
        + "</SSID><OperationMode>Managed</OperationMode><Encrypted>false</Encrypted></Link><Default>true</Default>"
          "<IPConfiguration><DHCP>true</DHCP></IPConfiguration></AccessPoint></NetworkConnectionInfo>"));
    EXPECT_EQ(saved.find("<AccessPoint>"), saved.rfind("<AccessPoint>")) << "one profile, not two";
}
