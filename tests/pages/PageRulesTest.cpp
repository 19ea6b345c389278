// SPDX-License-Identifier: GPL-3.0-or-later
// The rules every page keeps: what a confirm leaves of the stored sections (the first copy of a
// section is rewritten where it stands, later copies stay as they were, and whatever the page does not
// know comes back after its own values), what an untouched page writes on a card without its section,
// that a refused confirm writes nothing, and that a save that fails is told and can be tried again.

#include "PageTestSupport.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"
#include "platform/PropertySheet.h"

#include <QDir>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

// Each table's cases are named, in the test names and in failure messages.
const auto kCaseName = [](const auto& info) { return std::string(info.param.pszName); };

template <class Case>
class PageRuleTest : public ::testing::TestWithParam<Case>
{
protected:
    void TearDown() override { ResetDocuments(); }
    CScratchDrive m_drive;
};

// The card of each case holds two copies of the page's section, with unknown elements and attributes
// in and around the first.
struct RewriteCase
{
    const char* pszName;
    const char* pszFolder;
    const char* pszPage; // the start of its title
    friend void PrintTo(const RewriteCase& c, std::ostream* pOut) { *pOut << c.pszName; }
};

using SectionRewriteTest = PageRuleTest<RewriteCase>;

} // namespace

// Only pages that were changed are written, so every page is shown and changed. The card is pulled out before OK on
// the page of the case: that page tells so, the sheet stays open with every change, and OK once the
// card is back saves them. The first copy of the page's section is rewritten where it stood, with what
// the page does not know after its own values; the later copy stays as it was; the pages that found
// no section of theirs write it whole with the frame's defaults.
TEST_P(SectionRewriteTest, FailedSaveIsToldByThePageAndTheNextRewritesTheFirstCopyInPlaceKeepingWhatItDoesNotKnow)
{
    const RewriteCase& c = GetParam();
    const std::string folder = CaseFolder(c.pszFolder);
    m_drive.WriteConfig(ReadFileBytes(folder + "/Configuration.xml"));
    const QString system = QString::fromStdString(m_drive.Path().Bytes() + "/System");
    CModalScript script;
    QWidget* pOwner = nullptr;
    RunApplication(
        m_drive,
        [&](CPropertySheet& sheet) {
            int nPage = -1;
            for (int i = 0; i < sheet.GetPageCount(); ++i) {
                ASSERT_TRUE(sheet.SetActivePage(i));
                sheet.GetActivePage()->SetModified(TRUE);
                if (sheet.GetTabControl()->GetItemText(i).Bytes().rfind(c.pszPage, 0) == 0)
                    nPage = i;
            }
            ASSERT_TRUE(sheet.SetActivePage(nPage));
            pOwner = sheet.GetActivePage()->GetSafeHwnd();
            ASSERT_TRUE(QDir(system).removeRecursively());
            script.ThenAnswerMessageBox();
            PressSheetButton(sheet, IDOK);
            EXPECT_TRUE(sheet.GetSafeHwnd()->isVisible());
            QDir().mkpath(system + "/Configuration");
            PressSheetButton(sheet, IDOK);
        },
        &script);
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_EQ(script.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(script.MessageBoxes()[0].owner, pOwner);
    EXPECT_TRUE(script.MessageBoxes()[0].text.contains("could not be saved"));
    EXPECT_TRUE(script.MessageBoxes()[0].text.contains(QString::fromStdString(m_drive.ConfigPath())))
        << "it names the file";
    EXPECT_EQ(m_drive.ReadConfig(), ReadFileBytes(folder + "/expected.xml"));
}

INSTANTIATE_TEST_SUITE_P(Pages, SectionRewriteTest,
                         ::testing::Values(RewriteCase{"Network", "rewrite-network", "Configured Networks::"},
                                           RewriteCase{"Email", "rewrite-email", "Email"},
                                           RewriteCase{"AddressBook", "rewrite-address-book", "Address Book"},
                                           RewriteCase{"InternetSharing", "rewrite-internet-sharing",
                                                       "Internet Content Sharing"},
                                           RewriteCase{"PCSharing", "rewrite-pc-sharing", "PC Sharing"}),
                         kCaseName);

namespace {

using PageFactory = std::function<std::unique_ptr<CPropertyPage>()>;
template <class T>
PageFactory Make()
{
    return [] { return std::unique_ptr<CPropertyPage>(new T); };
}

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
        + Scrambled("pw") + "</SmbPassword><SmbShareDirectory>Pics</SmbShareDirectory></SMB></LocalNetSharing>";
}

const char* const kSmtpAccount = "You must provide account information for the Outgoing Mail server!";
const char* const kSmtpPassword = "Plese check your password information for the Outgoing Mail server!";
const char* const kPcAll = "You must provide all information for the PC account!";
const char* const kPcPassword = "Please check password information for the PC account!";
const std::string kLongPassword = [] {
    std::string s;
    for (int i = 0; i < 64; ++i)
        s += "\xC3\xA9";
    return s;
}();

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
        {"EmailSmtpServerBlank", email, "",
         Typed{{IDC_SMTP_SERVER_NAME, "mail familie-berg.de"},
               {IDC_SMTP_USER_NAME, "me"},
               {IDC_SMTP_PASSWORD, "pw"},
               {IDC_SMTP_RETYPE_PASSWORD, "pw"}},
         "The name of the Outgoing Mail server must be a host name such as mail.example.com: letters A to Z, digits, "
         "dots and hyphens, without blanks. A name in another alphabet is written in its ASCII form (xn--...)."},
        {"EmailPopServerBlank", email, "",
         Typed{{IDC_POP_SERVER_NAME, "pop mail"},
               {IDC_POP_USER_NAME, "me"},
               {IDC_POP_PASSWORD, "pw"},
               {IDC_POP_RETYPE_PASSWORD, "pw"}},
         "The name of the Incoming Mail server must be a host name such as mail.example.com: letters A to Z, digits, "
         "dots and hyphens, without blanks. A name in another alphabet is written in its ASCII form (xn--...)."},
        {"PcWorkgroup", pc, StoredSMB(), {{IDC_SMB_WORKGROUP, ""}}, kPcAll},
        {"PcHostName", pc, StoredSMB(), {{IDC_SMB_HOST_NAME, ""}}, kPcAll},
        {"PcShareDirectory", pc, StoredSMB(), {{IDC_SMB_SHARE_DIRECTORY, ""}}, kPcAll},
        {"PcUser", pc, StoredSMB(), {{IDC_SMB_USER, ""}}, kPcAll},
        {"PcPassword", pc, StoredSMB(), {{IDC_SMB_PASSWORD, ""}}, kPcAll},
        {"PcRetypeCase", pc, StoredSMB(), {{IDC_SMB_RETYPE_PASSWORD, "PW"}}, kPcPassword},
        {"PcRetypeEmpty", pc, StoredSMB(), {{IDC_SMB_RETYPE_PASSWORD, ""}}, kPcPassword},
        // 64 letters of two bytes each: the frame counts bytes, and the message says so.
        {"PcPasswordTooLong", pc, StoredSMB(),
         Typed{{IDC_SMB_PASSWORD, kLongPassword}, {IDC_SMB_RETYPE_PASSWORD, kLongPassword}},
         "The password of the PC account is too long: the frame can read at most 127 bytes of it. Letters A to Z, "
         "digits, punctuation and spaces take one byte each; other letters, such as \xC3\xA9, take two or more."},
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
