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
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"
#include "platform/PropertySheet.h"

#include <QComboBox>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

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

using PageFactory = std::function<std::unique_ptr<CPropertyPage>()>;
template <class T>
PageFactory Make()
{
    return [] { return std::unique_ptr<CPropertyPage>(new T); };
}

// Each table's cases are named, in the test names and in failure messages.
const auto kCaseName = [](const auto& info) { return std::string(info.param.pszName); };

template <class Case>
class PageRuleTest : public ::testing::TestWithParam<Case>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

struct RewriteCase
{
    const char* pszName;
    const char* pszPage; // the start of its title
    const char* pszSection;
    // Two copies of the section with <Before/> ahead of the first and <Middle/> between them.
    std::string sections;
    // Texts of the saved file, in this order: the first copy rewritten where it stood, its known
    // elements ahead of the unknown ones, which come back as they were stored, then the second copy.
    std::vector<std::string> saved;
    friend void PrintTo(const RewriteCase& c, std::ostream* pOut) { *pOut << c.pszName; }
};

std::vector<RewriteCase> RewriteCases()
{
    return {
        {"Email",
         "Email",
         "Email",
         "<Before/><Email id=\"7\"><Signature>old</Signature><EmailAddress>first@x</EmailAddress>"
         "<SMTPServer><SMTPSecuritySetting>SSL</SMTPSecuritySetting><Auth>yes</Auth></SMTPServer>"
         "<POPServer><POPSecuritySetting>TLS</POPSecuritySetting></POPServer></Email>"
         "<Middle/><Email><EmailAddress>second@x</EmailAddress></Email>",
         {"<Before", "<Email id=\"7\">", "<EmailAddress>first@x<", "<SMTPSecuritySetting>SSL</SMTPSecuritySetting>",
          "<SMTPPort>", "<Auth>yes</Auth>", "<POPServer>", "<POPSecuritySetting>TLS</POPSecuritySetting>",
          "<Signature>old</Signature>", "<Middle", "second@x"}},
        {"AddressBook",
         "Address Book",
         "EmailAddressBook",
         "<Before/><EmailAddressBook id=\"7\"><Note>n</Note><AEmailAddresses><AEmailAddress>first</AEmailAddress>"
         "<Sorted>no</Sorted></AEmailAddresses></EmailAddressBook>"
         "<Middle/><EmailAddressBook><AEmailAddresses><AEmailAddress>second</AEmailAddress></AEmailAddresses></"
         "EmailAddressBook>",
         {"<Before", "<EmailAddressBook id=\"7\">", "<AEmailAddress>first<", "<Sorted>no</Sorted>", "<Note>n</Note>",
          "<Middle", ">second<"}},
        {"InternetSharing",
         "Internet Content Sharing",
         "RSSandFrameChannel",
         "<Before/><RSSandFrameChannel id=\"7\"><RSS><NumURL>1</NumURL><RssDetails><Description>First</Description>"
         "<URL>u</URL></RssDetails><Refresh>60</Refresh></RSS></RSSandFrameChannel>"
         "<Middle/><RSSandFrameChannel><RSS><NumURL>1</NumURL><RssDetails><Description>Second</Description>"
         "<URL>u</URL></RssDetails></RSS></RSSandFrameChannel>",
         {"<Before", "<RSSandFrameChannel id=\"7\">", ">First<", "<Refresh>60</Refresh>", "<FrameChannel>", "<Middle",
          ">Second<"}},
        {"PCSharing",
         "PC Sharing",
         "LocalNetSharing",
         "<Before/><LocalNetSharing id=\"7\"><SMB><SmbEnabled>false</SmbEnabled><SmbUser>first</SmbUser>"
         "<SmbGuest>yes</SmbGuest></SMB><Nfs/></LocalNetSharing>"
         "<Middle/><LocalNetSharing><SMB><SmbUser>second</SmbUser></SMB></LocalNetSharing>",
         {"<Before", "<LocalNetSharing id=\"7\">", "<SmbUser>first<", "<SmbGuest>yes</SmbGuest>", "</SMB>", "<Nfs />",
          "<Middle", ">second<"}},
        {"Network",
         "Configured Networks::",
         "NetworkConnectionInfo",
         "<Before/><NetworkConnectionInfo "
         "id=\"3\"><DeviceName>kestrovaDPF</DeviceName><NumAccessPoint>1</NumAccessPoint>"
             + AccessPoint(" id=\"7\"", "Home", "<Priority>3</Priority>")
             + "</NetworkConnectionInfo><Middle/><NetworkConnectionInfo><DeviceName>kestrovaDPF</DeviceName>"
               "<NumAccessPoint>1</NumAccessPoint>"
             + AccessPoint("", "Stale", "") + "</NetworkConnectionInfo>",
         {"<Before", "<NetworkConnectionInfo id=\"3\">", "<AccessPoint id=\"7\">", ">Home<", "</IPConfiguration>",
          "<Priority>3</Priority>", "<Middle", ">Stale<"}},
    };
}

using SectionRewriteTest = PageRuleTest<RewriteCase>;

} // namespace

// Every page is shown, as only pages that were shown are written, and the card is pulled out before OK
// on the page of the case: that page tells so, the sheet stays open with every change, and OK once the
// card is back saves them.
TEST_P(SectionRewriteTest, FailedSaveIsToldByThePageAndTheNextRewritesTheFirstCopyInPlaceKeepingWhatItDoesNotKnow)
{
    const RewriteCase& c = GetParam();
    m_drive.WriteConfig(ConfigFile(c.sections));
    const QString folder = QString::fromStdString(m_drive.Path().Bytes() + "/System");
    CModalScript script;
    QWidget* pOwner = nullptr;
    RunApplication(
        m_drive,
        [&](CPropertySheet& sheet) {
            int nPage = -1;
            for (int i = 0; i < sheet.GetPageCount(); ++i) {
                ASSERT_TRUE(sheet.SetActivePage(i));
                if (sheet.GetTabControl()->GetItemText(i).Bytes().rfind(c.pszPage, 0) == 0)
                    nPage = i;
            }
            ASSERT_TRUE(sheet.SetActivePage(nPage));
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
    EXPECT_EQ(CountSections(m_drive.ReadConfig(), c.pszSection), 2);
    ExpectInOrder(m_drive.ReadConfig(), c.saved);
}

INSTANTIATE_TEST_SUITE_P(Pages, SectionRewriteTest, ::testing::ValuesIn(RewriteCases()), kCaseName);

namespace {

struct EmptyCardCase
{
    const char* pszName;
    PageFactory page;
    const char* pszSection;
    std::string expected;
    friend void PrintTo(const EmptyCardCase& c, std::ostream* pOut) { *pOut << c.pszName; }
};

using EmptyCardTest = PageRuleTest<EmptyCardCase>;

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
    kCaseName);

namespace {

// Edit boxes in the order the user fills them: id and the whole new text.
using Typed = std::vector<std::pair<int, std::string>>;

struct RefusalCase
{
    const char* pszName;
    PageFactory page;
    std::string sections;
    Typed typed;
    const char* pszMessage;
    // On a network page: the encryption mode chosen, after Enable is checked and before the typing.
    const char* pszMode = nullptr;
    friend void PrintTo(const RefusalCase& c, std::ostream* pOut) { *pOut << c.pszName; }
};

std::string StoredSMB()
{
    return "<LocalNetSharing><SMB><SmbEnabled>true</SmbEnabled><SmbWorkgroup>HOME</SmbWorkgroup><SmbHostName>PC"
           "</SmbHostName><SmbUser>me</SmbUser><SmbPassword>"
        + Key("pw") + "</SmbPassword><SmbShareDirectory>Pics</SmbShareDirectory></SMB></LocalNetSharing>";
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
    // The encrypted network of the scan, on its own page: nothing else could save either.
    const PageFactory cafe = [] {
        auto pPage = std::make_unique<CPropPageNetwork>();
        pPage->SetPageTitle("Available Networks::Cafe");
        return std::unique_ptr<CPropertyPage>(std::move(pPage));
    };
    return {
        // The outgoing server is checked first, and only the first failure is shown.
        {"EmailOutgoingFirst", email, "", Typed{{IDC_SMTP_SERVER_NAME, "smtp"}, {IDC_POP_SERVER_NAME, "pop"}},
         kSmtpAccount},
        {"EmailSmtpPassword", email, "", Typed{{IDC_SMTP_SERVER_NAME, "smtp"}, {IDC_SMTP_USER_NAME, "me"}},
         "You must provide password information for the Outgoing Mail server!"},
        {"EmailSmtpRetypeMissing", email, "",
         Typed{{IDC_SMTP_SERVER_NAME, "smtp"}, {IDC_SMTP_USER_NAME, "me"}, {IDC_SMTP_PASSWORD, "pw"}}, kSmtpPassword},
        {"EmailSmtpRetypeCase", email, "",
         Typed{{IDC_SMTP_SERVER_NAME, "smtp"},
               {IDC_SMTP_USER_NAME, "me"},
               {IDC_SMTP_PASSWORD, "Pw"},
               {IDC_SMTP_RETYPE_PASSWORD, "pw"}},
         kSmtpPassword},
        {"EmailPopAccount", email, "", Typed{{IDC_POP_SERVER_NAME, "pop"}},
         "You must provide account information for the Incoming Mail server!"},
        {"EmailPopBlankUserHasNoPassword", email, "", Typed{{IDC_POP_SERVER_NAME, "pop"}, {IDC_POP_USER_NAME, " "}},
         "You must provide password information for the Incoming Mail server!"},
        {"EmailPopRetypeBlank", email, "",
         Typed{{IDC_POP_SERVER_NAME, "pop"},
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
        {"PcPasswordTooLong", pc, StoredSMB(),
         Typed{{IDC_SMB_PASSWORD, std::string(128, 'x')}, {IDC_SMB_RETYPE_PASSWORD, std::string(128, 'x')}},
         "The password of the PC account is too long: the frame can read at most 127 characters."},
        {"FrameChannelPassword", feeds, "", Typed{{IDC_FC_USERNAME, "family"}},
         "You must provide password information for the FrameChannel account!"},
        {"FrameChannelRetype", feeds, "",
         Typed{{IDC_FC_USERNAME, "family"}, {IDC_FC_PASSWORD, "Secret"}, {IDC_FC_RETYPE_PASSWORD, "secret"}},
         "Plese check your password information for the FrameChannel account!"},
        {"NetworkMode", cafe, "", {{IDC_KEY_PASSWORD, "k"}, {IDC_RETYPE_PASSWORD, "k"}}, "Invalid Encryption Mode", ""},
        {"NetworkKey", cafe, "", {}, "You must provide a password", "WEP64"},
        {"NetworkRetype", cafe, "", Typed{{IDC_KEY_PASSWORD, "Key"}, {IDC_RETYPE_PASSWORD, "key"}},
         "Verify password does not match!", "WEP64"},
    };
}

// Chooses an entry of a drop-down list with the keyboard, as a user would.
void Choose(CWnd& page, int nID, const char* pszEntry)
{
    auto* pCombo = qobject_cast<QComboBox*>(page.GetDlgItem(nID)->GetSafeHwnd());
    pCombo->setFocus();
    const int nTarget = pCombo->findText(pszEntry);
    ASSERT_GE(nTarget, 0) << pszEntry;
    while (pCombo->currentIndex() != nTarget)
        QTest::keyClick(pCombo, pCombo->currentIndex() < nTarget ? Qt::Key_Down : Qt::Key_Up);
}

using RefusalTest = PageRuleTest<RefusalCase>;

} // namespace

TEST_P(RefusalTest, RefusedConfirmSaysWhyAndWritesNothing)
{
    const RefusalCase& c = GetParam();
    const std::string original = ConfigFile(c.sections);
    LoadDrive(m_drive, original,
              "<Scan><NetworkConnectionInfo><AccessPoint><Link><SSID>Cafe</SSID><OperationMode>Managed</OperationMode>"
              "<Encrypted>true</Encrypted></Link></AccessPoint></NetworkConnectionInfo></Scan>");
    std::unique_ptr<CPropertyPage> pPage = c.page();
    const QString text = ConfirmExpectingRefusal(*pPage, [&](CPropertySheet&) {
        if (c.pszMode) {
            ClickCheck(pPage->GetDlgItem(IDC_ENABLE)->GetSafeHwnd());
            if (*c.pszMode)
                Choose(*pPage, IDC_ENCRYPTION_MODE, c.pszMode);
        }
        for (const auto& typed : c.typed)
            TypeInto(*pPage, typed.first, QString::fromStdString(typed.second));
    });
    EXPECT_EQ(text, c.pszMessage);
    EXPECT_EQ(m_drive.ReadConfig(), original);
}

INSTANTIATE_TEST_SUITE_P(Pages, RefusalTest, ::testing::ValuesIn(RefusalCases()), kCaseName);
