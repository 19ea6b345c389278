// The rules every page keeps: what a confirm leaves of the stored sections (the first copy of a
// section is rewritten where it stands, later copies stay as they were, and whatever the page does not
// know comes back after its own values), what an untouched page writes on an empty card, that a
// refused confirm writes nothing, and that a save that fails is told and can be tried again.

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "app/ScrambledText.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPagePCSharing.h"
#include "platform/PropertySheet.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
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
    return "<AccessPoint" + attributes + "><Default>false</Default><Link><SSID>" + ssid
        + "</SSID><OperationMode>Managed</OperationMode><Encrypted>true</Encrypted><EncryptionMode>WPA2</"
          "EncryptionMode>"
          "<Key><KeyType>Passphrase</KeyType><KeyPassword>"
        + Key("sesame") + "</KeyPassword></Key></Link><IPConfiguration><DHCP>true</DHCP></IPConfiguration>" + more
        + "</AccessPoint>";
}

std::vector<RewriteCase> Cases()
{
    return {
        {"Email",
         "Email",
         "<Before/><Email id=\"7\"><Signature>old</Signature><EmailAddress>first@x</EmailAddress>"
         "<SMTPServer><SMTPSecuritySetting>SSL</SMTPSecuritySetting><Auth>yes</Auth></SMTPServer>"
         "<POPServer><POPSecuritySetting>TLS</POPSecuritySetting></POPServer></Email>"
         "<Middle/><Email><EmailAddress>second@x</EmailAddress></Email>",
         {"<Before", "first@x", "<Middle", "second@x"},
         {"<EmailAddress>", "<SMTPPort>", "<Auth>", "<POPServer>", "<Signature>"},
         {"<Email id=\"7\">", "<Signature>old</Signature>", "<Auth>yes</Auth>",
          "<SMTPSecuritySetting>SSL</SMTPSecuritySetting>", "<POPSecuritySetting>TLS</POPSecuritySetting>"}},
        {"AddressBook",
         "EmailAddressBook",
         "<Before/><EmailAddressBook id=\"7\"><Note>n</Note><AEmailAddresses><AEmailAddress>first</AEmailAddress>"
         "<Sorted>no</Sorted></AEmailAddresses></EmailAddressBook>"
         "<Middle/><EmailAddressBook><AEmailAddresses><AEmailAddress>second</AEmailAddress></AEmailAddresses></"
         "EmailAddressBook>",
         {"<Before", ">first<", "<Middle", ">second<"},
         {"<AEmailAddress>first", "<Sorted>", "<Note>"},
         {"<EmailAddressBook id=\"7\">", "<Note>n</Note>", "<Sorted>no</Sorted>"}},
        {"InternetSharing",
         "RSSandFrameChannel",
         "<Before/><RSSandFrameChannel id=\"7\"><RSS><NumURL>1</NumURL><RssDetails><Description>First</Description>"
         "<URL>u</URL></RssDetails><Refresh>60</Refresh></RSS></RSSandFrameChannel>"
         "<Middle/><RSSandFrameChannel><RSS><NumURL>1</NumURL><RssDetails><Description>Second</Description>"
         "<URL>u</URL></RssDetails></RSS></RSSandFrameChannel>",
         {"<Before", ">First<", "<Middle", ">Second<"},
         {"<RssDetails>", "<Refresh>", "<FrameChannel>"},
         {"<RSSandFrameChannel id=\"7\">", "<Refresh>60</Refresh>"}},
        {"PCSharing",
         "LocalNetSharing",
         "<Before/><LocalNetSharing id=\"7\"><SMB><SmbEnabled>false</SmbEnabled><SmbUser>first</SmbUser>"
         "<SmbGuest>yes</SmbGuest></SMB><Nfs/></LocalNetSharing>"
         "<Middle/><LocalNetSharing><SMB><SmbUser>second</SmbUser></SMB></LocalNetSharing>",
         {"<Before", ">first<", "<Middle", ">second<"},
         {"<SmbUser>", "<SmbGuest>", "</SMB>", "<Nfs"},
         {"<LocalNetSharing id=\"7\">", "<SmbGuest>yes</SmbGuest>", "<Nfs />"}},
        {"Network",
         "NetworkConnectionInfo",
         "<Before/><NetworkConnectionInfo "
         "id=\"3\"><DeviceName>kestrovaDPF</DeviceName><NumAccessPoint>1</NumAccessPoint>"
             + AccessPoint(" id=\"7\"", "Home", "<Priority>3</Priority>")
             + "</NetworkConnectionInfo><Middle/><NetworkConnectionInfo><DeviceName>kestrovaDPF</DeviceName>"
               "<NumAccessPoint>1</NumAccessPoint>"
             + AccessPoint("", "Stale", "") + "</NetworkConnectionInfo>",
         {"<Before", ">Home<", "<Middle", ">Stale<"},
         {"<AccessPoint id=\"7\">", "</IPConfiguration>", "<Priority>"},
         {"<NetworkConnectionInfo id=\"3\">", "<Priority>3</Priority>"}},
    };
}

class SectionRewriteTest : public ::testing::TestWithParam<RewriteCase>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

using PageFactory = std::function<std::unique_ptr<CPropertyPage>()>;
template <class T>
PageFactory Make()
{
    return [] { return std::unique_ptr<CPropertyPage>(new T); };
}

} // namespace

TEST_P(SectionRewriteTest, ConfirmRewritesTheFirstCopyInPlaceAndKeepsWhatThePageDoesNotKnow)
{
    const RewriteCase& c = GetParam();
    m_drive.WriteConfig("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo version=\"100\">"
                        "<Configuration>"
                        + c.sections + "</Configuration></RootInfo>\n");
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

namespace {

struct EmptyCardCase
{
    const char* pszName;
    PageFactory page;
    const char* pszSection;
    std::string expected;
};

class EmptyCardTest : public ::testing::TestWithParam<EmptyCardCase>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

} // namespace

// An untouched page confirmed on a card that has none of its settings writes its whole section, with
// the frame's defaults, and keeps the sections of others.
TEST_P(EmptyCardTest, UntouchedConfirmWritesTheWholeSection)
{
    LoadDrive(m_drive, ConfigFile("<Other>kept</Other>"));
    std::unique_ptr<CPropertyPage> pPage = GetParam().page();
    RunSheet({pPage.get()}, [](CPropertySheet& sheet) { PressSheetButton(sheet, IDOK); });
    EXPECT_EQ(SectionText(m_drive.ReadConfig(), GetParam().pszSection), GetParam().expected);
    EXPECT_EQ(SectionText(m_drive.ReadConfig(), "Other"), "<Other>kept</Other>\n");
}

INSTANTIATE_TEST_SUITE_P(
    Pages, EmptyCardTest,
    ::testing::Values(
        EmptyCardCase{
            "Email", Make<CPropPageEmail>(), "Email",
            "<Email>\n    <EmailAddress></EmailAddress>\n    <SMTPServer>\n        <SMTPServerName></SMTPServerName>\n"
            "        <SMTPUserName></SMTPUserName>\n        <SMTPPassword></SMTPPassword>\n"
            "        <SMTPSecuritySetting>None</SMTPSecuritySetting>\n        <SMTPPort>25</SMTPPort>\n    "
            "</SMTPServer>\n"
            "    <POPServer>\n        <POPServerName></POPServerName>\n        <POPUserName></POPUserName>\n"
            "        <POPPassword></POPPassword>\n        <POPSecuritySetting>None</POPSecuritySetting>\n"
            "        <POPPort>110</POPPort>\n    </POPServer>\n</Email>\n"},
        EmptyCardCase{
            "AddressBook", Make<CPropPageAddressBook>(), "EmailAddressBook",
            "<EmailAddressBook>\n    <AddressBook>\n        <NumEmailDetails>0</NumEmailDetails>\n    </AddressBook>\n"
            "    <DEmailAddresses>\n        <NumDEmailAddress>0</NumDEmailAddress>\n    </DEmailAddresses>\n"
            "    <AEmailAddresses>\n        <NumAEmailAddress>0</NumAEmailAddress>\n    "
            "</AEmailAddresses>\n</EmailAddressBook>\n"},
        EmptyCardCase{"InternetSharing", Make<CPropPageInternetSharing>(), "RSSandFrameChannel",
                      "<RSSandFrameChannel>\n    <RSS>\n        <NumURL>0</NumURL>\n    </RSS>\n    <FrameChannel>\n"
                      "        <FCUsername></FCUsername>\n        <FCPassword></FCPassword>\n    "
                      "</FrameChannel>\n</RSSandFrameChannel>\n"},
        EmptyCardCase{
            "PCSharing", Make<CPropPagePCSharing>(), "LocalNetSharing",
            "<LocalNetSharing>\n    <SMB>\n        <SmbEnabled>false</SmbEnabled>\n        "
            "<SmbWorkgroup></SmbWorkgroup>\n"
            "        <SmbHostName></SmbHostName>\n        <SmbUser></SmbUser>\n        <SmbPassword></SmbPassword>\n"
            "        <SmbShareDirectory></SmbShareDirectory>\n    </SMB>\n</LocalNetSharing>\n"}),
    [](const ::testing::TestParamInfo<EmptyCardCase>& info) { return info.param.pszName; });

namespace {

struct RefusalCase
{
    const char* pszName;
    PageFactory page;
    std::string sections;
    // Edit boxes in the order the user fills them: id and the whole new text.
    std::vector<std::pair<int, std::string>> typed;
    const char* pszMessage;
};

std::string StoredSMB()
{
    return "<LocalNetSharing><SMB><SmbEnabled>true</SmbEnabled><SmbWorkgroup>HOME</SmbWorkgroup><SmbHostName>PC"
           "</SmbHostName><SmbUser>me</SmbUser><SmbPassword>"
        + ScrambleText("pw", CONFIG_KEY_TEXT).Bytes()
        + "</SmbPassword><SmbShareDirectory>Pics</SmbShareDirectory></SMB></LocalNetSharing>";
}

const char* const kSmtpAccount = "You must provide account information for the Outgoing Mail server!";
const char* const kSmtpPassword = "Plese check your password information for the Outgoing Mail server!";
const char* const kPcAll = "You must provide all information for the PC account!";
const char* const kPcPassword = "Please check password information for the PC account!";

std::vector<RefusalCase> RefusalCases()
{
    const PageFactory email = Make<CPropPageEmail>();
    const PageFactory pc = Make<CPropPagePCSharing>();
    const PageFactory feeds = Make<CPropPageInternetSharing>();
    return {
        // The outgoing server is checked first, and only the first failure is shown.
        {"EmailOutgoingFirst", email, "", {{IDC_SMTP_SERVER_NAME, "smtp"}, {IDC_POP_SERVER_NAME, "pop"}}, kSmtpAccount},
        {"EmailSmtpPassword",
         email,
         "",
         {{IDC_SMTP_SERVER_NAME, "smtp"}, {IDC_SMTP_USER_NAME, "me"}},
         "You must provide password information for the Outgoing Mail server!"},
        {"EmailSmtpRetypeMissing",
         email,
         "",
         {{IDC_SMTP_SERVER_NAME, "smtp"}, {IDC_SMTP_USER_NAME, "me"}, {IDC_SMTP_PASSWORD, "pw"}},
         kSmtpPassword},
        {"EmailSmtpRetypeCase",
         email,
         "",
         {{IDC_SMTP_SERVER_NAME, "smtp"},
          {IDC_SMTP_USER_NAME, "me"},
          {IDC_SMTP_PASSWORD, "Pw"},
          {IDC_SMTP_RETYPE_PASSWORD, "pw"}},
         kSmtpPassword},
        {"EmailPopAccount",
         email,
         "",
         {{IDC_POP_SERVER_NAME, "pop"}},
         "You must provide account information for the Incoming Mail server!"},
        {"EmailPopBlankUserHasNoPassword",
         email,
         "",
         {{IDC_POP_SERVER_NAME, "pop"}, {IDC_POP_USER_NAME, " "}},
         "You must provide password information for the Incoming Mail server!"},
        {"EmailPopRetypeBlank",
         email,
         "",
         {{IDC_POP_SERVER_NAME, "pop"},
          {IDC_POP_USER_NAME, "me"},
          {IDC_POP_PASSWORD, "pw"},
          {IDC_POP_RETYPE_PASSWORD, "pw "}},
         "Plese check your password information for the Incoming Mail server!"},
        {"PcWorkgroup", pc, StoredSMB(), {{IDC_SMB_WORKGROUP, ""}}, kPcAll},
        {"PcHostName", pc, StoredSMB(), {{IDC_SMB_HOST_NAME, ""}}, kPcAll},
        {"PcShareDirectory", pc, StoredSMB(), {{IDC_SMB_SHARE_DIRECTORY, ""}}, kPcAll},
        {"PcUser", pc, StoredSMB(), {{IDC_SMB_USER, ""}}, kPcAll},
        {"PcPassword", pc, StoredSMB(), {{IDC_SMB_PASSWORD, ""}}, kPcAll},
        {"PcRetypeCase", pc, StoredSMB(), {{IDC_SMB_RETYPE_PASSWORD, "PW"}}, kPcPassword},
        {"PcRetypeEmpty", pc, StoredSMB(), {{IDC_SMB_RETYPE_PASSWORD, ""}}, kPcPassword},
        {"PcPasswordTooLong",
         pc,
         StoredSMB(),
         {{IDC_SMB_PASSWORD, std::string(128, 'x')}, {IDC_SMB_RETYPE_PASSWORD, std::string(128, 'x')}},
         "The password of the PC account is too long: the frame can read at most 127 characters."},
        {"FrameChannelPassword",
         feeds,
         "",
         {{IDC_FC_USERNAME, "family"}},
         "You must provide password information for the FrameChannel account!"},
        {"FrameChannelRetype",
         feeds,
         "",
         {{IDC_FC_USERNAME, "family"}, {IDC_FC_PASSWORD, "Secret"}, {IDC_FC_RETYPE_PASSWORD, "secret"}},
         "Plese check your password information for the FrameChannel account!"},
    };
}

class RefusalTest : public ::testing::TestWithParam<RefusalCase>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

} // namespace

TEST_P(RefusalTest, RefusedConfirmSaysWhyAndWritesNothing)
{
    const std::string original = ConfigFile(GetParam().sections);
    LoadDrive(m_drive, original);
    std::unique_ptr<CPropertyPage> pPage = GetParam().page();
    const QString text = ConfirmExpectingRefusal(*pPage, [&](CPropertySheet&) {
        for (const auto& typed : GetParam().typed)
            TypeInto(*pPage, typed.first, QString::fromStdString(typed.second));
    });
    EXPECT_EQ(text, GetParam().pszMessage);
    EXPECT_EQ(m_drive.ReadConfig(), original);
}

INSTANTIATE_TEST_SUITE_P(Pages, RefusalTest, ::testing::ValuesIn(RefusalCases()),
                         [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.pszName; });

namespace {

struct FailedSaveCase
{
    const char* pszName;
    int nPage; // in the sheet of a card with one stored network
    const char* pszSection;
};

void PrintTo(const FailedSaveCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}
void PrintTo(const RefusalCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}
void PrintTo(const EmptyCardCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}
void PrintTo(const RewriteCase& c, std::ostream* pOut)
{
    *pOut << c.pszName;
}

class FailedSaveTest : public ::testing::TestWithParam<FailedSaveCase>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

} // namespace

// The card is pulled out before OK: the page on display tells so, the sheet stays open with every
// change, and OK once the card is back saves them.
TEST_P(FailedSaveTest, FailedSaveIsToldByThePageAndTheNextConfirmSaves)
{
    m_drive.WriteConfig(ConfigFile("<NetworkConnectionInfo><DeviceName>kestrovaDPF</DeviceName><NumAccessPoint>1"
                                   "</NumAccessPoint>"
                                   + AccessPoint("", "Home", "") + "</NetworkConnectionInfo>"));
    const QString folder = QString::fromStdString(m_drive.Path().Bytes() + "/System");
    CModalScript script;
    QWidget* pOwner = nullptr;
    RunApplication(
        m_drive,
        [&](CPropertySheet& sheet) {
            ASSERT_TRUE(sheet.SetActivePage(GetParam().nPage));
            pOwner = sheet.GetActivePage()->GetSafeHwnd();
            ASSERT_TRUE(QDir(folder).removeRecursively());
            script.ThenAnswerMessageBox();
            PressSheetButton(sheet, IDOK);
            EXPECT_TRUE(sheet.GetSafeHwnd()->isVisible());
            QDir().mkpath(folder + "/Configuration");
            PressSheetButton(sheet, IDOK);
        },
        &script);
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_EQ(script.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(script.MessageBoxes()[0].owner, pOwner);
    EXPECT_TRUE(script.MessageBoxes()[0].text.contains("could not be saved"));
    EXPECT_TRUE(script.MessageBoxes()[0].text.contains(QString::fromStdString(m_drive.ConfigPath())))
        << "it names the file";
    EXPECT_EQ(CountSections(m_drive.ReadConfig(), GetParam().pszSection), 1);
}

INSTANTIATE_TEST_SUITE_P(Pages, FailedSaveTest,
                         ::testing::Values(FailedSaveCase{"Network", 0, "NetworkConnectionInfo"},
                                           FailedSaveCase{"Email", 1, "Email"},
                                           FailedSaveCase{"AddressBook", 2, "EmailAddressBook"},
                                           FailedSaveCase{"InternetSharing", 3, "RSSandFrameChannel"},
                                           FailedSaveCase{"PCSharing", 4, "LocalNetSharing"}),
                         [](const ::testing::TestParamInfo<FailedSaveCase>& info) { return info.param.pszName; });
