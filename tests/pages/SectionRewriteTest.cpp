// What a confirm must leave of the stored sections, on every page that rewrites one: the first copy
// of a section is rewritten where it stands, later copies stay as they were, and whatever the page
// does not know (attributes, further elements, stored choices) comes back after its own values.

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "app/ScrambledText.h"
#include "platform/PropertySheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RewriteCase
{
    const char* pszName;
    const char* pszSection;
    // Two copies of the section with <Before/> ahead of the first and <Middle/> between them.
    std::string sections;
    // Texts in the saved file, in this order: the first copy's value ahead of <Middle/>, the second
    // copy's after it.
    std::vector<std::string> fileOrder;
    // Texts of the saved first copy, in this order: a known element ahead of the unknown ones.
    std::vector<std::string> sectionOrder;
    // Texts the saved first copy must hold as they were stored.
    std::vector<std::string> kept;
};

std::string Key(const char* pszPlain)
{
    return ScrambleText(pszPlain, CONFIG_KEY_TEXT).Bytes();
}

std::string AccessPoint(const std::string& attributes, const std::string& ssid, const std::string& more)
{
    return "<AccessPoint" + attributes + "><Default>false</Default><Link><SSID>" + ssid +
           "</SSID><OperationMode>Managed</OperationMode><Encrypted>true</Encrypted><EncryptionMode>WPA2</EncryptionMode>"
           "<Key><KeyType>Passphrase</KeyType><KeyPassword>" + Key("sesame") +
           "</KeyPassword></Key></Link><IPConfiguration><DHCP>true</DHCP></IPConfiguration>" + more + "</AccessPoint>";
}

std::vector<RewriteCase> Cases()
{
    return {
        {"Email", "Email",
         "<Before/><Email id=\"7\"><Signature>old</Signature><EmailAddress>first@x</EmailAddress>"
         "<SMTPServer><SMTPSecuritySetting>SSL</SMTPSecuritySetting><Auth>yes</Auth></SMTPServer>"
         "<POPServer><POPSecuritySetting>TLS</POPSecuritySetting></POPServer></Email>"
         "<Middle/><Email><EmailAddress>second@x</EmailAddress></Email>",
         {"<Before", "first@x", "<Middle", "second@x"},
         {"<EmailAddress>", "<SMTPPort>", "<Auth>", "<POPServer>", "<Signature>"},
         {"<Email id=\"7\">", "<Signature>old</Signature>", "<Auth>yes</Auth>",
          "<SMTPSecuritySetting>SSL</SMTPSecuritySetting>", "<POPSecuritySetting>TLS</POPSecuritySetting>"}},
        {"AddressBook", "EmailAddressBook",
         "<Before/><EmailAddressBook id=\"7\"><Note>n</Note><AEmailAddresses><AEmailAddress>first</AEmailAddress>"
         "<Sorted>no</Sorted></AEmailAddresses></EmailAddressBook>"
         "<Middle/><EmailAddressBook><AEmailAddresses><AEmailAddress>second</AEmailAddress></AEmailAddresses></EmailAddressBook>",
         {"<Before", ">first<", "<Middle", ">second<"},
         {"<AEmailAddress>first", "<Sorted>", "<Note>"},
         {"<EmailAddressBook id=\"7\">", "<Note>n</Note>", "<Sorted>no</Sorted>"}},
        {"InternetSharing", "RSSandFrameChannel",
         "<Before/><RSSandFrameChannel id=\"7\"><RSS><NumURL>1</NumURL><RssDetails><Description>First</Description>"
         "<URL>u</URL></RssDetails><Refresh>60</Refresh></RSS></RSSandFrameChannel>"
         "<Middle/><RSSandFrameChannel><RSS><NumURL>1</NumURL><RssDetails><Description>Second</Description>"
         "<URL>u</URL></RssDetails></RSS></RSSandFrameChannel>",
         {"<Before", ">First<", "<Middle", ">Second<"},
         {"<RssDetails>", "<Refresh>", "<FrameChannel>"},
         {"<RSSandFrameChannel id=\"7\">", "<Refresh>60</Refresh>"}},
        {"PCSharing", "LocalNetSharing",
         "<Before/><LocalNetSharing id=\"7\"><SMB><SmbEnabled>false</SmbEnabled><SmbUser>first</SmbUser>"
         "<SmbGuest>yes</SmbGuest></SMB><Nfs/></LocalNetSharing>"
         "<Middle/><LocalNetSharing><SMB><SmbUser>second</SmbUser></SMB></LocalNetSharing>",
         {"<Before", ">first<", "<Middle", ">second<"},
         {"<SmbUser>", "<SmbGuest>", "</SMB>", "<Nfs"},
         {"<LocalNetSharing id=\"7\">", "<SmbGuest>yes</SmbGuest>", "<Nfs />"}},
        {"Network", "NetworkConnectionInfo",
         "<Before/><NetworkConnectionInfo id=\"3\"><DeviceName>kestrovaDPF</DeviceName><NumAccessPoint>1</NumAccessPoint>" +
             AccessPoint(" id=\"7\"", "Home", "<Priority>3</Priority>") +
             "</NetworkConnectionInfo><Middle/><NetworkConnectionInfo><DeviceName>kestrovaDPF</DeviceName>"
             "<NumAccessPoint>1</NumAccessPoint>" + AccessPoint("", "Stale", "") + "</NetworkConnectionInfo>",
         {"<Before", ">Home<", "<Middle", ">Stale<"},
         {"<AccessPoint id=\"7\">", "</IPConfiguration>", "<Priority>"},
         {"<NetworkConnectionInfo id=\"3\">", "<Priority>3</Priority>"}},
    };
}

void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts)
{
    size_t nAt = 0;
    for (const std::string& part : parts) {
        const size_t nFound = text.find(part, nAt);
        ASSERT_NE(nFound, std::string::npos) << "\"" << part << "\" missing or out of order in\n" << text;
        nAt = nFound + part.size();
    }
}

class SectionRewriteTest : public ::testing::TestWithParam<RewriteCase>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

} // namespace

TEST_P(SectionRewriteTest, ConfirmRewritesTheFirstCopyInPlaceAndKeepsWhatThePageDoesNotKnow)
{
    const RewriteCase& c = GetParam();
    m_drive.WriteConfig("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo version=\"100\">"
                        "<Configuration>" + c.sections + "</Configuration></RootInfo>\n");
    RunApplication(m_drive, [](CPropertySheet& sheet) {
        // Only pages that were shown are written; every one is shown once.
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            sheet.SetActivePage(i);
        PressSheetButton(sheet, IDOK);
    });
    const std::string saved = m_drive.ReadConfig();
    EXPECT_EQ(CountSections(saved, c.pszSection), 2);
    ExpectInOrder(saved, c.fileOrder);
    const std::string section = SectionText(saved, c.pszSection);
    ExpectInOrder(section, c.sectionOrder);
    for (const std::string& part : c.kept)
        EXPECT_NE(section.find(part), std::string::npos) << part << " lost from\n" << section;
}

INSTANTIATE_TEST_SUITE_P(Pages, SectionRewriteTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<RewriteCase>& info) { return info.param.pszName; });
