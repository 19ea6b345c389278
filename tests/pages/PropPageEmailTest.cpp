#include "pages/PropPageEmail.h"

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "app/ScrambledText.h"
#include "platform/PropertySheet.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

class EmailPageTest : public ::testing::Test
{
protected:
    void TearDown() override { ResetDocuments(); }

    QLineEdit* Edit(int nID) { return qobject_cast<QLineEdit*>(m_page.GetDlgItem(nID)->GetSafeHwnd()); }
    void Type(int nID, const QString& text) { TypeInto(m_page, nID, text); }
    std::string Saved() const { return m_drive.ReadConfig(); }
    std::string ScrambledValue(const char* pszServer, const char* pszElement) const
    {
        TiXmlDocument doc;
        doc.Parse(Saved().c_str());
        const TiXmlElement* pEmail = doc.RootElement()->FirstChildElement("Configuration")->FirstChildElement("Email");
        return GetScrambledText(pEmail->FirstChildElement(pszServer)->FirstChildElement(pszElement), CONFIG_KEY_TEXT)
            .Bytes();
    }

    CScratchDrive m_drive;
    CPropPageEmail m_page;
};

} // namespace

TEST_F(EmailPageTest, TypedAccountIsWrittenInOrderWithPasswordsScrambledAndTheirCaseKept)
{
    LoadDrive(m_drive, ConfigFile(""));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        Type(IDC_EMAIL_ADDRESS, "frame@example.org");
        Type(IDC_SMTP_SERVER_NAME, "smtp.example.org");
        Type(IDC_SMTP_USER_NAME, "frame");
        Type(IDC_SMTP_PASSWORD, "MixedCase9x");
        Type(IDC_SMTP_RETYPE_PASSWORD, "MixedCase9x");
        Type(IDC_SMTP_PORT, "587");
        Type(IDC_POP_SERVER_NAME, "pop.example.org");
        Type(IDC_POP_USER_NAME, "inbox");
        Type(IDC_POP_PASSWORD, "lower");
        Type(IDC_POP_RETYPE_PASSWORD, "lower");
        PressSheetButton(sheet, IDOK);
    });
    // The order of the elements is the stored-values test's; here the typed values are what counts.
    const std::string section = SectionText(Saved(), "Email");
    for (const char* pszPart :
         {"<EmailAddress>frame@example.org<", "<SMTPServerName>smtp.example.org<", "<SMTPUserName>frame<",
          "<SMTPPort>587<", "<POPServerName>pop.example.org<", "<POPUserName>inbox<"})
        EXPECT_NE(section.find(pszPart), std::string::npos) << pszPart;
    EXPECT_EQ(ScrambledValue("SMTPServer", "SMTPPassword"), "MixedCase9x");
    EXPECT_EQ(ScrambledValue("POPServer", "POPPassword"), "lower");
}

TEST_F(EmailPageTest, EmptyServerSwitchesItsGroupsChecksOff)
{
    LoadDrive(m_drive, ConfigFile(""));
    CModalScript script;
    RunSheet(
        {&m_page},
        [this](CPropertySheet& sheet) {
            Type(IDC_SMTP_USER_NAME, "account only");
            Type(IDC_POP_PASSWORD, "mismatch");
            PressSheetButton(sheet, IDOK);
        },
        &script);
    EXPECT_TRUE(script.MessageBoxes().empty());
    const std::string section = SectionText(Saved(), "Email");
    EXPECT_NE(section.find("<SMTPUserName>account only</SMTPUserName>"), std::string::npos);
    EXPECT_EQ(ScrambledValue("POPServer", "POPPassword"), "mismatch");
}

TEST_F(EmailPageTest, StoredValuesLoadAndAnUntouchedConfirmRewritesThemIdentically)
{
    const std::string stored = "<Email>\n"
                               "    <EmailAddress>f@x.org</EmailAddress>\n"
                               "    <SMTPServer>\n"
                               "        <SMTPServerName>smtp.x.org</SMTPServerName>\n"
                               "        <SMTPUserName>f</SMTPUserName>\n"
                               "        <SMTPPassword>"
        + ScrambleText("Secret", CONFIG_KEY_TEXT).Bytes()
        + "</SMTPPassword>\n"
          "        <SMTPSecuritySetting>None</SMTPSecuritySetting>\n"
          "        <SMTPPort>2525</SMTPPort>\n"
          "    </SMTPServer>\n"
          "    <POPServer>\n"
          "        <POPServerName>pop.x.org</POPServerName>\n"
          "        <POPUserName>f</POPUserName>\n"
          "        <POPPassword>"
        + ScrambleText("Other", CONFIG_KEY_TEXT).Bytes()
        + "</POPPassword>\n"
          "        <POPSecuritySetting>None</POPSecuritySetting>\n"
          "        <POPPort></POPPort>\n"
          "    </POPServer>\n"
          "</Email>\n";
    LoadDrive(m_drive, ConfigFile(stored));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Edit(IDC_SMTP_PASSWORD)->text(), "Secret");
        EXPECT_EQ(Edit(IDC_SMTP_RETYPE_PASSWORD)->text(), "Secret");
        EXPECT_EQ(Edit(IDC_SMTP_PORT)->text(), "2525");
        EXPECT_EQ(Edit(IDC_POP_PORT)->text(), "") << "an empty stored port stays empty";
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(SectionText(Saved(), "Email"), stored);
}
