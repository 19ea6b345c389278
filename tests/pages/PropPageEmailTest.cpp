// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageEmail.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

namespace {

class EmailPageTest : public CPageTest
{
protected:
    QString Text(int nID) { return Edit(m_page, nID)->text(); }
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "Email"); }
    CPropPageEmail m_page;
};

} // namespace

// The stored account's passwords are "Secret" and "Other". Every box typed into is written to its own
// element, the passwords scrambled with their case kept; what the user did not touch comes back as it
// was stored (no default fills the empty port).
TEST_F(EmailPageTest, StoredAccountLoadsAndTypedValuesAreWrittenInPlaceWithPasswordsScrambledAndTheirCaseKept)
{
    LoadDrive(m_drive, UseCase("email-account"));
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
    ExpectWritten();
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
