#include "pages/PropPageNetwork.h"

#include "PageTestSupport.h"
#include "app/ConfigDocument.h"
#include "app/KestrovaConfigToolApp.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace {

struct Profile
{
    std::string ssid;
    std::string encrypted = "true";
    std::string defaultText = "false";
    std::string keyType = "Passphrase";
    bool bDhcp = true;
};

// A stored profile as the frame writes it.
std::string StoredAccessPoint(const Profile& p)
{
    std::string xml = "<AccessPoint><Default>" + p.defaultText + "</Default><Link><SSID>" + p.ssid
        + "</SSID><OperationMode>Managed</OperationMode><Encrypted>" + p.encrypted + "</Encrypted>";
    if (p.encrypted.find_first_not_of(" \n") != std::string::npos && p.encrypted != "false")
        xml += "<EncryptionMode>WPA2</EncryptionMode><Key><KeyType>" + p.keyType + "</KeyType><KeyPassword>"
            + Scrambled("sesame") + "</KeyPassword></Key>";
    xml += "</Link><IPConfiguration>";
    xml += p.bDhcp ? "<DHCP>true</DHCP>"
                   : "<STATIC><DeviceIP>10.0.0.5</DeviceIP><NetMask>255.0.0.0</NetMask><GatewayIP>10.0.0.1</GatewayIP>"
                     "<NameServerIP>10.0.0.2</NameServerIP></STATIC>";
    return xml + "</IPConfiguration></AccessPoint>";
}

std::string Config(const std::vector<Profile>& profiles, const std::string& more = std::string())
{
    std::string section = "<NetworkConnectionInfo><DeviceName>kestrovaDPF</DeviceName><NumAccessPoint>"
        + std::to_string(profiles.size()) + "</NumAccessPoint>";
    for (const Profile& p : profiles)
        section += StoredAccessPoint(p);
    section += "</NetworkConnectionInfo>";
    return ConfigFile((profiles.empty() ? std::string() : section) + more);
}

std::string Scan(const std::vector<std::pair<std::string, std::string>>& networks)
{
    std::string xml = "<Scan><NetworkConnectionInfo>";
    for (const auto& n : networks)
        xml += "<AccessPoint><Link><SSID>" + n.first + "</SSID><OperationMode>Managed</OperationMode><Encrypted>"
            + n.second + "</Encrypted></Link></AccessPoint>";
    return xml + "</NetworkConnectionInfo></Scan>";
}

class NetworkPageTest : public CPageTest
{
protected:
    static QWidget* Control(CPropertyPage* pPage, int nID) { return pPage->GetDlgItem(nID)->GetSafeHwnd(); }
    static QComboBox* Combo(CPropertyPage* pPage, int nID) { return qobject_cast<QComboBox*>(Control(pPage, nID)); }
    static bool Checked(CPropertyPage* pPage, int nID)
    {
        return qobject_cast<QAbstractButton*>(Control(pPage, nID))->isChecked();
    }
    static bool Enabled(CPropertyPage* pPage, int nID) { return Control(pPage, nID)->isEnabled(); }
    static CPropPageNetwork* Page(CPropertySheet& sheet, int nIndex)
    {
        return dynamic_cast<CPropPageNetwork*>(sheet.GetPage(nIndex));
    }
    // The saved NetworkConnectionInfo section, re-read.
    TiXmlElement* SavedSection(TiXmlDocument& doc) const
    {
        doc.Parse(m_drive.ReadConfig().c_str(), nullptr, TIXML_ENCODING_LEGACY);
        return doc.RootElement()->FirstChildElement("Configuration")->FirstChildElement("NetworkConnectionInfo");
    }
    // A saved profile, printed on one line.
    std::string SavedProfile(const char* pszSSID) const
    {
        TiXmlDocument doc;
        TiXmlPrinter printer;
        printer.SetIndent("");
        printer.SetLineBreak("");
        if (const TiXmlElement* p = CPropPageNetwork::FindAccessPoint(SavedSection(doc), pszSSID))
            p->Accept(&printer);
        return printer.CStr();
    }
    // The saved section's children as "name" or "AccessPoint:ssid", in order.
    std::vector<std::string> SavedOrder() const
    {
        TiXmlDocument doc;
        std::vector<std::string> order;
        for (const TiXmlElement* p = SavedSection(doc)->FirstChildElement(); p; p = p->NextSiblingElement()) {
            const bool bProfile = std::string(p->Value()) == "AccessPoint";
            order.push_back(p->Value()
                            + (":" + (bProfile ? CPropPageNetwork::AccessPointSSID(p) : GetElementText(p)).Bytes()));
        }
        return order;
    }
};

} // namespace

TEST_F(NetworkPageTest, StoredProfileIsShownAsStoredBlanksIgnoredAndAnyKeyTypeButPassphraseChecksHexKey)
{
    // Blanks around a flag and inside a scrambled key, where a hand-edited file has them.
    std::string config = Config({{"Home"}, {"Hex", "true", "false", "passphrase"}});
    const std::string key = Scrambled("sesame");
    config.replace(config.find(key), key.size(), "\n  " + key.substr(0, 3) + "\n  " + key.substr(3) + "\n");
    config.replace(config.find("<DHCP>true</DHCP>"), 17, "<DHCP> true\n</DHCP>");
    m_drive.WriteConfig(config);
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_TRUE(Checked(pPage, IDC_ENABLE));
        EXPECT_EQ(Edit(*pPage, IDC_SSID)->text(), "Home");
        EXPECT_FALSE(Enabled(pPage, IDC_SSID)) << "a stored profile's name is fixed";
        EXPECT_EQ(Combo(pPage, IDC_ENCRYPTION_MODE)->currentText(), "WPA2");
        EXPECT_EQ(Edit(*pPage, IDC_KEY_PASSWORD)->text(), "sesame");
        EXPECT_EQ(Edit(*pPage, IDC_RETYPE_PASSWORD)->text(), "sesame");
        EXPECT_TRUE(Checked(pPage, IDC_PASSPHRASE));
        EXPECT_TRUE(Checked(pPage, IDC_DHCP));
        EXPECT_FALSE(Enabled(pPage, IDC_DEVICE_IP));
        EXPECT_FALSE(ApplyEnabled(sheet));
        Choose(*pPage, IDC_ENCRYPTION_MODE, "WPA1");
        EXPECT_TRUE(ApplyEnabled(sheet)) << "choosing another mode is an edit";
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_TRUE(Checked(Page(sheet, 1), IDC_HEX_KEY)) << "the key type is compared exactly";
        static_cast<QDialog*>(sheet.GetSafeHwnd())->done(IDCANCEL);
    });
}
TEST_F(NetworkPageTest, OnlyAnEmptyOrFalseEncryptedIsOpenForTheKeyBoxesTheChecksAndTheWriter)
{
    m_drive.WriteConfig(Config({{"Open", "false"}, {"Empty", " \n"}, {"Capital", "TRUE"}}));
    // A scanned network that does not say whether it is encrypted.
    m_drive.WriteScan("<Scan><NetworkConnectionInfo><AccessPoint><Link><SSID>Cafe</SSID><OperationMode>Managed"
                      "</OperationMode></Link></AccessPoint></NetworkConnectionInfo></Scan>");
    CModalScript script;
    RunApplication(
        m_drive,
        [](CPropertySheet& sheet) {
            for (int i : {0, 1, 2, 3}) {
                ASSERT_TRUE(sheet.SetActivePage(i));
                CPropPageNetwork* pPage = Page(sheet, i);
                const bool bEncrypted = i == 2;
                for (int nID :
                     {IDC_ENCRYPTION_MODE, IDC_PASSPHRASE, IDC_HEX_KEY, IDC_KEY_PASSWORD, IDC_RETYPE_PASSWORD})
                    EXPECT_EQ(Enabled(pPage, nID), bEncrypted) << i << " " << nID;
                if (i < 2) {
                    EXPECT_EQ(Combo(pPage, IDC_ENCRYPTION_MODE)->currentText()
                                  + Combo(pPage, IDC_ENCRYPTION_MODE)->placeholderText(),
                              "None")
                        << i;
                }
            }
            ClickCheck(Control(Page(sheet, 3), IDC_ENABLE));
            PressSheetButton(sheet, IDOK);
        },
        &script);
    EXPECT_TRUE(script.MessageBoxes().empty()) << "an open network needs no key to be confirmed";
    // Every page was shown, so every profile is written again, in the order of the pages.
    const std::string saved = m_drive.ReadConfig();
    ExpectInOrder(saved,
                  {">Open<", "<Encrypted>false<", ">Empty<", "<Encrypted>false<", ">Capital<", "<Encrypted>true<",
                   "<Key>", ">Cafe<", "<Encrypted>false<"});
    EXPECT_EQ(saved.find("<Key>"), saved.rfind("<Key>")) << "only the encrypted profile stores a key";
}

// On a card without a network section, the first confirmed networks create it with the device name
// and the count, after the sections that were there.
TEST_F(NetworkPageTest, AvailableNetworksStartDisabledAndOnceEnabledAreWrittenWholeInANewSection)
{
    m_drive.WriteConfig(Config({}, "<Email/>"));
    m_drive.WriteScan(Scan({{"Cafe", "true"}, {"Open Cafe", "false"}}));
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        for (int i : {1, 0}) {
            ASSERT_TRUE(sheet.SetActivePage(i));
            CPropPageNetwork* pPage = Page(sheet, i);
            EXPECT_FALSE(Checked(pPage, IDC_ENABLE));
            EXPECT_FALSE(Enabled(pPage, IDC_DEFAULT));
            EXPECT_EQ(Combo(pPage, IDC_ENCRYPTION_MODE)->currentText(), "Select Encryption");
            EXPECT_TRUE(Checked(pPage, IDC_DHCP));
            EXPECT_EQ(Enabled(pPage, IDC_KEY_PASSWORD), i == 0) << "only an encrypted network takes a key";
            ClickCheck(Control(pPage, IDC_ENABLE));
            EXPECT_TRUE(Enabled(pPage, IDC_DEFAULT));
        }
        Choose(*Page(sheet, 0), IDC_ENCRYPTION_MODE, "WPA2");
        TypeInto(*Page(sheet, 0), IDC_KEY_PASSWORD, "Latte Art 42");
        TypeInto(*Page(sheet, 0), IDC_RETYPE_PASSWORD, "Latte Art 42");
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(SavedOrder(),
              (std::vector<std::string>{"DeviceName:kestrovaDPF", "NumAccessPoint:2", "AccessPoint:Cafe",
                                        "AccessPoint:Open Cafe"}));
    EXPECT_LT(m_drive.ReadConfig().find("<Email"), m_drive.ReadConfig().find("<NetworkConnectionInfo>"));
    EXPECT_EQ(SavedProfile("Cafe"),
              "<AccessPoint><Default>false</Default><Link><SSID>Cafe</SSID><OperationMode>Managed</OperationMode>"
              "<Encrypted>true</Encrypted><EncryptionMode>WPA2</EncryptionMode><Key><KeyType>Passphrase</KeyType>"
              "<KeyPassword>"
                  + Scrambled("Latte Art 42")
                  + "</KeyPassword></Key></Link><IPConfiguration><DHCP>true</DHCP></IPConfiguration></AccessPoint>");
    EXPECT_EQ(SavedProfile("Open Cafe"),
              "<AccessPoint><Default>false</Default><Link><SSID>Open Cafe</SSID><OperationMode>Managed</OperationMode>"
              "<Encrypted>false</Encrypted></Link><IPConfiguration><DHCP>true</DHCP></IPConfiguration></AccessPoint>");
}

TEST_F(NetworkPageTest, ChoosingAModeAKeyTypeOrTypingAKeyOnAnAvailableNetworkChecksEnable)
{
    m_drive.WriteConfig(Config({}));
    m_drive.WriteScan(Scan({{"Locked", "true"}}));
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        const std::vector<std::pair<const char*, std::function<void()>>> inputs = {
            {"mode", [&] { Choose(*pPage, IDC_ENCRYPTION_MODE, "WPA2"); }},
            {"key type", [&] { ClickCheck(Control(pPage, IDC_HEX_KEY)); }},
            {"key type", [&] { ClickCheck(Control(pPage, IDC_PASSPHRASE)); }},
            {"key", [&] { TypeInto(*pPage, IDC_KEY_PASSWORD, "Latte Art"); }},
        };
        for (const auto& input : inputs) {
            if (Checked(pPage, IDC_ENABLE))
                ClickCheck(Control(pPage, IDC_ENABLE));
            input.second();
            EXPECT_TRUE(Checked(pPage, IDC_ENABLE)) << input.first;
        }
        TypeInto(*pPage, IDC_RETYPE_PASSWORD, "Latte Art");
        PressSheetButton(sheet, IDOK);
    });
    TiXmlDocument doc;
    const TiXmlElement* pLocked = CPropPageNetwork::FindAccessPoint(SavedSection(doc), "Locked");
    ASSERT_NE(pLocked, nullptr) << "the typed key is stored, not dropped";
    const TiXmlElement* pKey = pLocked->FirstChildElement("Link")->FirstChildElement("Key");
    EXPECT_EQ(GetScrambledText(pKey->FirstChildElement("KeyPassword"), CONFIG_KEY_TEXT), "Latte Art");
}

TEST_F(NetworkPageTest, ClearedEnableBoxWritesNothing)
{
    const std::string original = Config({{"Home", "true", "true"}, {"Office"}});
    m_drive.WriteConfig(original);
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_TRUE(Checked(pPage, IDC_DEFAULT));
        ClickCheck(Control(pPage, IDC_ENABLE));
        EXPECT_FALSE(Checked(pPage, IDC_DEFAULT)) << "a disabled profile is nobody's default";
        EXPECT_FALSE(Enabled(pPage, IDC_DEFAULT));
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(m_drive.ReadConfig(), original);
}

TEST_F(NetworkPageTest, StaticProfileKeepsItsAddressesWhenConfirmedUnchangedAndStoresEmptyBoxesAsEmpty)
{
    m_drive.WriteConfig(Config({{"Office", "true", "false", "Passphrase", false}, {"Home"}}));
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_TRUE(Checked(pPage, IDC_STATIC_IP));
        EXPECT_EQ(Edit(*pPage, IDC_DEVICE_IP)->text(), "10.0.0.5");
        EXPECT_TRUE(Enabled(pPage, IDC_NAME_SERVER_IP));
        // The second profile switches from DHCP to static with four empty boxes.
        ASSERT_TRUE(sheet.SetActivePage(1));
        ClickCheck(Control(Page(sheet, 1), IDC_STATIC_IP));
        EXPECT_TRUE(Enabled(Page(sheet, 1), IDC_DEVICE_IP));
        PressSheetButton(sheet, IDOK);
    });
    // Both are written again, in the order of their pages, and neither keeps a DHCP element.
    const std::string saved = m_drive.ReadConfig();
    ExpectInOrder(saved,
                  {">Office<", "<STATIC>", "<DeviceIP>10.0.0.5<", "<NetMask>255.0.0.0<", "<GatewayIP>10.0.0.1<",
                   "<NameServerIP>10.0.0.2<", ">Home<",
                   "<STATIC>\n                        <DeviceIP></DeviceIP>\n                        "
                   "<NetMask></NetMask>\n                        <GatewayIP></GatewayIP>\n"
                   "                        <NameServerIP></NameServerIP>"});
    EXPECT_EQ(saved.find("<DHCP>"), std::string::npos);
}

TEST_F(NetworkPageTest, CheckingDefaultClearsEveryOtherMarkShownNeverShownAndAvailable)
{
    // The count leaves C without a page: its stored mark must be cleared all the same.
    std::string config = Config({{"A", "true", "true"}, {"B", "true", "true"}, {"C", "true", "true"}});
    config.replace(config.find("<NumAccessPoint>3<"), 18, "<NumAccessPoint>2<");
    m_drive.WriteConfig(config);
    m_drive.WriteScan(Scan({{"New", "false"}}));
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        // A is shown (page 0). The available page is shown and enabled with Default checked.
        ASSERT_TRUE(sheet.SetActivePage(2));
        CPropPageNetwork* pNew = Page(sheet, 2);
        ClickCheck(Control(pNew, IDC_ENABLE));
        ClickCheck(Control(pNew, IDC_DEFAULT));
        EXPECT_EQ(Page(sheet, 0)->m_bDefault, 0) << "a shown page loses its mark at once";
        EXPECT_EQ(Page(sheet, 1)->m_bDefault, 0) << "a never-shown page has its stored mark cleared";
        // B was never shown: its stored Default is now "false", at the end of its AccessPoint.
        const TiXmlElement* pB = CPropPageNetwork::FindAccessPoint(
            theConfigElement->FirstChildElement("NetworkConnectionInfo"), "B");
        EXPECT_STREQ(pB->LastChild()->Value(), "Default");
        EXPECT_EQ(GetChildText(pB, "Default"), "false");
        // Showing A again shows its cleared box.
        ASSERT_TRUE(sheet.SetActivePage(0));
        EXPECT_FALSE(Checked(Page(sheet, 0), IDC_DEFAULT));
        // Checking A's Default in turn clears the available page's mark.
        ClickCheck(Control(Page(sheet, 0), IDC_DEFAULT));
        EXPECT_EQ(pNew->m_bDefault, 0);
        ASSERT_TRUE(sheet.SetActivePage(2));
        ClickCheck(Control(pNew, IDC_DEFAULT));
        PressSheetButton(sheet, IDOK);
    });
    TiXmlDocument doc;
    TiXmlElement* pSection = SavedSection(doc);
    std::map<std::string, std::string> defaults;
    for (const char* pszSSID : {"A", "B", "C", "New"})
        defaults[pszSSID] = GetChildText(CPropPageNetwork::FindAccessPoint(pSection, pszSSID), "Default").Bytes();
    EXPECT_EQ(defaults,
              (std::map<std::string, std::string>{{"A", "false"}, {"B", "false"}, {"C", "false"}, {"New", "true"}}));
}

TEST_F(NetworkPageTest, LongNonUtf8AndLookalikeSsidsRoundTripAndReplaceTheirOwnProfile)
{
    const std::string longSSID(200, 'W');
    const std::string latin1 = "Caf\xE9 \xFF Net";
    const std::string lookalike = "Available Networks Lounge";
    m_drive.WriteConfig(Config({{longSSID}, {latin1}, {lookalike}}));
    RunApplication(m_drive, [&](CPropertySheet& sheet) {
        EXPECT_EQ(Edit(*Page(sheet, 0), IDC_SSID)->text().size(), 200);
        ASSERT_TRUE(sheet.SetActivePage(1));
        // A stored profile whatever its name says: enabled, its name fixed.
        ASSERT_TRUE(sheet.SetActivePage(2));
        EXPECT_TRUE(Checked(Page(sheet, 2), IDC_ENABLE));
        EXPECT_FALSE(Enabled(Page(sheet, 2), IDC_SSID));
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(SavedOrder(),
              (std::vector<std::string>{"DeviceName:kestrovaDPF", "NumAccessPoint:3", "AccessPoint:" + longSSID,
                                        "AccessPoint:" + latin1, "AccessPoint:" + lookalike}));
    EXPECT_NE(m_drive.ReadConfig().find("<SSID>" + latin1 + "</SSID>"), std::string::npos);
}

TEST_F(NetworkPageTest, CountIsRecountedAndPlacedWhereTheSectionHasRoomAndAConfirmedProfileMovesToTheEnd)
{
    const std::string header = "<?xml version=\"1.0\" ?><RootInfo><Configuration><NetworkConnectionInfo>";
    const std::string ap = StoredAccessPoint({"Home"});
    const std::string footer = "</NetworkConnectionInfo></Configuration></RootInfo>";
    struct Case
    {
        std::string section;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"<DeviceName>d</DeviceName><NumAccessPoint></NumAccessPoint>" + ap,
         {"DeviceName:d", "NumAccessPoint:1", "AccessPoint:Home"}},
        {"<DeviceName>d</DeviceName><NumAccessPoint>7</NumAccessPoint>" + ap,
         {"DeviceName:d", "NumAccessPoint:1", "AccessPoint:Home"}},
        {ap, {"NumAccessPoint:1", "AccessPoint:Home"}},
        {"<DeviceName>d</DeviceName>" + ap, {"DeviceName:d", "NumAccessPoint:1", "AccessPoint:Home"}},
        // Only the first page is shown, so only its profile is written again, last.
        {"<NumAccessPoint>3</NumAccessPoint>" + ap + StoredAccessPoint({"Second"}) + StoredAccessPoint({"Third"}),
         {"NumAccessPoint:3", "AccessPoint:Second", "AccessPoint:Third", "AccessPoint:Home"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        m_drive.WriteConfig(header + c.section + footer);
        RunApplication(m_drive, [](CPropertySheet& sheet) { PressSheetButton(sheet, IDOK); });
        EXPECT_EQ(SavedOrder(), c.expected);
    }
}

TEST_F(NetworkPageTest, ProfileWithoutLinkLoadsEmptyAndNeverShowsAnotherProfile)
{
    m_drive.WriteConfig("<RootInfo><Configuration><NetworkConnectionInfo><NumAccessPoint>2</NumAccessPoint>"
                        "<AccessPoint><Default>true</Default></AccessPoint>"
                        + StoredAccessPoint({"Home"}) + "</NetworkConnectionInfo></Configuration></RootInfo>");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        CPropPageNetwork* pPage = Page(sheet, 0);
        EXPECT_EQ(Edit(*pPage, IDC_SSID)->text(), "");
        EXPECT_TRUE(Checked(pPage, IDC_DEFAULT));
        EXPECT_TRUE(Checked(pPage, IDC_HEX_KEY)) << "a missing key type reads as empty";
        EXPECT_TRUE(Checked(pPage, IDC_STATIC_IP)) << "a missing DHCP reads as empty";
        PressSheetButton(sheet, IDCANCEL);
    });
}
