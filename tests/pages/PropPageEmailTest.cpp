#include "pages/PropPageEmail.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

namespace {

// The section as the page writes it, with an empty incoming port, from the values in their order:
// address; outgoing server, user, password and port; incoming server, user and password.
std::string EmailSection(const std::vector<std::string>& v)
{
    return "<Email>\n    <EmailAddress>" + v[0] + "</EmailAddress>\n    <SMTPServer>\n        <SMTPServerName>" + v[1]
        + "</SMTPServerName>\n        <SMTPUserName>" + v[2] + "</SMTPUserName>\n        <SMTPPassword>"
        + Scrambled(v[3].c_str()) + "</SMTPPassword>\n        <SMTPSecuritySetting>None</SMTPSecuritySetting>\n"
        + "        <SMTPPort>" + v[4] + "</SMTPPort>\n    </SMTPServer>\n    <POPServer>\n        <POPServerName>"
        + v[5] + "</POPServerName>\n        <POPUserName>" + v[6] + "</POPUserName>\n        <POPPassword>"
        + Scrambled(v[7].c_str()) + "</POPPassword>\n        <POPSecuritySetting>None</POPSecuritySetting>\n"
        + "        <POPPort></POPPort>\n    </POPServer>\n</Email>\n";
}

class EmailPageTest : public CPageTest
{
protected:
    QString Text(int nID) { return Edit(m_page, nID)->text(); }
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "Email"); }
    CPropPageEmail m_page;
};

} // namespace

// Every box typed into is written to its own element, the passwords scrambled with their case kept;
// what the user did not touch comes back as it was stored (no default fills the empty port).
TEST_F(EmailPageTest, StoredAccountLoadsAndTypedValuesAreWrittenInPlaceWithPasswordsScrambledAndTheirCaseKept)
{
    LoadDrive(m_drive,
              ConfigFile(EmailSection({"f@x.org", "smtp.x.org", "f", "Secret", "2525", "pop.x.org", "f", "Other"})));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Text(IDC_SMTP_PASSWORD) + Text(IDC_SMTP_RETYPE_PASSWORD), "SecretSecret");
        EXPECT_EQ(Text(IDC_SMTP_PORT), "2525");
        EXPECT_EQ(Text(IDC_POP_PORT), "") << "an empty stored port stays empty";
        TypeInto(m_page, IDC_EMAIL_ADDRESS, "frame@example.org");
        TypeInto(m_page, IDC_SMTP_SERVER_NAME, "smtp.example.org");
        TypeInto(m_page, IDC_SMTP_USER_NAME, "frame");
        TypeInto(m_page, IDC_SMTP_PASSWORD, "MixedCase9x");
        TypeInto(m_page, IDC_SMTP_RETYPE_PASSWORD, "MixedCase9x");
        TypeInto(m_page, IDC_SMTP_PORT, "587");
        TypeInto(m_page, IDC_POP_SERVER_NAME, "pop.example.org");
        TypeInto(m_page, IDC_POP_USER_NAME, "inbox");
        TypeInto(m_page, IDC_POP_PASSWORD, "lower");
        TypeInto(m_page, IDC_POP_RETYPE_PASSWORD, "lower");
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(Section(),
              EmailSection({"frame@example.org", "smtp.example.org", "frame", "MixedCase9x", "587", "pop.example.org",
                            "inbox", "lower"}));
}

// Any message box, a refusal too, would fail the test.
TEST_F(EmailPageTest, EmptyServerSwitchesItsGroupsChecksOff)
{
    LoadDrive(m_drive, ConfigFile(""));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        TypeInto(m_page, IDC_SMTP_USER_NAME, "account only");
        TypeInto(m_page, IDC_POP_PASSWORD, "mismatch");
        PressSheetButton(sheet, IDOK);
    });
    ExpectInOrder(Section(), {"<SMTPUserName>account only</SMTPUserName>", "<POPPassword>" + Scrambled("mismatch")});
}
