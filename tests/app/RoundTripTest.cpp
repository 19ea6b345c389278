// Every valid configuration survives the editor: showing every page and pressing OK twice gives the
// same bytes both times, and every value the user did not edit is still there. The corpus is the
// files under tests/data/roundtrip and configurations generated here with blanks, markup characters,
// non-ASCII and non-UTF-8 bytes in their values.

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "app/ScrambledText.h"
#include "app/XmlFile.h"
#include "platform/PropertySheet.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

namespace {

std::string Escape(const std::string& value)
{
    std::string out;
    for (char c : value) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

class CGenerator
{
public:
    explicit CGenerator(unsigned nSeed) : m_random(nSeed) {}

    std::string Value(bool bAllowEmpty = true)
    {
        static const char* const pieces[] = {"a", "Z",  "7", " ",        "  ",           "&",    "<",
                                             ">", "\"", "'", "\xC3\xA9", "\xE6\x97\xA5", "\xE9", "\xFF",
                                             "-", ".",  "@", ":",        "::",           "\\"};
        const int nLength = static_cast<int>(m_random() % 8) + (bAllowEmpty ? 0 : 1);
        std::string value;
        for (int i = 0; i < nLength; ++i)
            value += pieces[m_random() % (sizeof pieces / sizeof *pieces)];
        // A value of blanks alone is no value in these files: the XML reader drops text that is all
        // white space, so such a value reads as empty wherever it was written.
        if (!value.empty() && value.find_first_not_of(' ') == std::string::npos)
            value += "b";
        return value;
    }
    std::string Leaf(const char* pszName, const std::string& value)
    {
        return std::string("<") + pszName + ">" + Escape(value) + "</" + pszName + ">";
    }
    std::string Secret(const char* pszName)
    {
        return std::string("<") + pszName + ">" + ScrambleText(Value(false).c_str(), CONFIG_KEY_TEXT).Bytes() + "</"
            + pszName + ">";
    }
    bool Coin() { return m_random() % 2 == 0; }

    std::string Configuration()
    {
        std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo "
                          "version=\"100\"><Configuration>";
        const int nProfiles = static_cast<int>(m_random() % 3) + 1;
        xml += "<NetworkConnectionInfo><DeviceName>kestrovaDPF</DeviceName><NumAccessPoint>" + std::to_string(nProfiles)
            + "</NumAccessPoint>";
        for (int i = 0; i < nProfiles; ++i) {
            const bool bEncrypted = Coin();
            xml += "<AccessPoint>" + Leaf("Default", i == 0 ? "true" : "false") + "<Link>"
                + Leaf("SSID", "net" + std::to_string(i) + Value())
                + Leaf("OperationMode", Coin() ? "Managed" : "Ad Hoc")
                + Leaf("Encrypted", bEncrypted ? "true" : "false");
            if (bEncrypted)
                xml += Leaf("EncryptionMode", Coin() ? "WPA2" : "WEP64") + "<Key>"
                    + Leaf("KeyType", Coin() ? "Passphrase" : "Hex") + Secret("KeyPassword") + "</Key>";
            xml += "</Link><IPConfiguration>";
            xml += Coin() ? Leaf("DHCP", "true")
                          : "<STATIC>" + Leaf("DeviceIP", Value()) + Leaf("NetMask", Value())
                    + Leaf("GatewayIP", Value()) + Leaf("NameServerIP", Value()) + "</STATIC>";
            xml += "</IPConfiguration></AccessPoint>";
        }
        xml += "</NetworkConnectionInfo>";
        xml += "<Email>" + Leaf("EmailAddress", Value()) + "<SMTPServer>" + Leaf("SMTPServerName", Value(false))
            + Leaf("SMTPUserName", Value(false)) + Secret("SMTPPassword") + Leaf("SMTPSecuritySetting", "None")
            + Leaf("SMTPPort", Value()) + "</SMTPServer><POPServer>" + Leaf("POPServerName", "")
            + Leaf("POPUserName", Value()) + Leaf("POPPassword", "") + Leaf("POPSecuritySetting", "None")
            + Leaf("POPPort", Value()) + "</POPServer></Email>";
        xml += "<EmailAddressBook><AddressBook><NumEmailDetails>2</NumEmailDetails>";
        for (int i = 0; i < 2; ++i)
            xml += "<EmailDetails>" + Leaf("ABEmailAddress", Value()) + Leaf("ABFname", Value())
                + Leaf("ABLname", Value()) + "</EmailDetails>";
        xml += "</AddressBook><DEmailAddresses><NumDEmailAddress>1</NumDEmailAddress>" + Leaf("DEmailAddress", Value())
            + "</DEmailAddresses><AEmailAddresses><NumAEmailAddress>2</NumAEmailAddress>"
            + Leaf("AEmailAddress", Value()) + Leaf("AEmailAddress", Value()) + "</AEmailAddresses></EmailAddressBook>";
        xml += "<RSSandFrameChannel><RSS><NumURL>2</NumURL>";
        for (int i = 0; i < 2; ++i)
            xml += "<RssDetails>" + Leaf("Description", Value()) + Leaf("URL", Value()) + "</RssDetails>";
        xml += "</RSS><FrameChannel>" + Leaf("FCUsername", "") + Secret("FCPassword")
            + "</FrameChannel></RSSandFrameChannel>";
        xml += "<LocalNetSharing><SMB>" + Leaf("SmbEnabled", "true") + Leaf("SmbWorkgroup", Value(false))
            + Leaf("SmbHostName", Value(false)) + Leaf("SmbUser", Value(false));
        const std::string password = Value(false);
        xml += "<SmbPassword>" + ScrambleText(password.c_str(), CONFIG_KEY_TEXT).Bytes() + "</SmbPassword>"
            + Leaf("SmbShareDirectory", Value(false)) + "</SMB></LocalNetSharing>";
        return xml + "</Configuration></RootInfo>\n";
    }

private:
    std::mt19937 m_random;
};

// Every leaf value of a file as "path=value", sorted: the order of profiles and entries may change,
// the values may not.
std::vector<std::string> Leaves(const std::string& bytes)
{
    TiXmlDocument doc;
    bool bBom = false;
    CString strError;
    EXPECT_TRUE(ParseXmlFile(doc, bytes, bBom, strError)) << strError.Bytes();
    if (!doc.RootElement())
        return {};
    std::vector<std::string> leaves;
    std::vector<std::pair<const TiXmlElement*, std::string>> stack{{doc.RootElement(), ""}};
    while (!stack.empty()) {
        const auto [pElement, path] = stack.back();
        stack.pop_back();
        const std::string here = path + "/" + pElement->Value();
        bool bHasChildElements = false;
        for (const TiXmlElement* p = pElement->FirstChildElement(); p; p = p->NextSiblingElement()) {
            stack.emplace_back(p, here);
            bHasChildElements = true;
        }
        if (!bHasChildElements)
            leaves.push_back(here + "=" + GetElementText(pElement).Bytes());
    }
    std::sort(leaves.begin(), leaves.end());
    return leaves;
}

std::string ShowEveryPageAndConfirm(const CScratchDrive& drive)
{
    CModalScript script;
    RunApplication(
        drive,
        [&script](CPropertySheet& sheet) {
            for (int i = 0; i < sheet.GetPageCount(); ++i)
                EXPECT_TRUE(sheet.SetActivePage(i));
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

void ExpectRoundTrip(const std::string& original)
{
    CScratchDrive drive;
    drive.WriteConfig(original);
    const std::string first = ShowEveryPageAndConfirm(drive);
    const std::string second = ShowEveryPageAndConfirm(drive);
    EXPECT_EQ(first, second) << "a second OK must write the same bytes";
    // Sections the editor adds are new; every value the file had is still there, as it was.
    const std::vector<std::string> before = Leaves(original);
    const std::vector<std::string> after = Leaves(first);
    std::vector<std::string> lost;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(lost));
    EXPECT_TRUE(lost.empty()) << "changed or lost: " << (lost.empty() ? std::string() : lost.front());
    ResetDocuments();
}

} // namespace

TEST(RoundTrip, HandWrittenConfigurationsKeepEveryValue)
{
    const QDir folder(QString::fromStdString(TestDataPath("roundtrip")));
    const QStringList files = folder.entryList({"*.xml"}, QDir::Files);
    ASSERT_GE(files.size(), 2);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        ExpectRoundTrip(ReadFileBytes(folder.filePath(name).toStdString()));
    }
}

TEST(RoundTrip, GeneratedConfigurationsWithOddBytesKeepEveryValue)
{
    for (unsigned nSeed = 1; nSeed <= 12; ++nSeed) {
        SCOPED_TRACE(nSeed);
        ExpectRoundTrip(CGenerator(nSeed).Configuration());
    }
}

TEST(RoundTrip, ValuesLongerThanAnEditBoxsDefaultLimitComeBackWhole)
{
    // Qt cuts edit boxes at 32,767 characters by default; a stored SSID that long came back cut, and
    // as a second profile beside the whole one.
    const std::string longValue(40000, 'w');
    const std::string original = "<RootInfo version=\"100\"><Configuration><NetworkConnectionInfo><DeviceName>"
        + longValue + "</DeviceName><NumAccessPoint>1</NumAccessPoint><AccessPoint><Link><SSID>" + longValue
        + "</SSID><OperationMode>Managed</OperationMode><Encrypted>false</Encrypted></Link><Default>true</Default>"
          "<IPConfiguration><DHCP>true</DHCP></IPConfiguration></AccessPoint></NetworkConnectionInfo>"
          "</Configuration></RootInfo>";
    CScratchDrive drive;
    drive.WriteConfig(original);
    const std::string saved = ShowEveryPageAndConfirm(drive);
    EXPECT_NE(saved.find("<SSID>" + longValue + "</SSID>"), std::string::npos);
    EXPECT_NE(saved.find("<DeviceName>" + longValue + "</DeviceName>"), std::string::npos);
    EXPECT_EQ(saved.find("<AccessPoint>"), saved.rfind("<AccessPoint>")) << "one profile, not two";
    ResetDocuments();
}
