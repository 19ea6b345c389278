#include "pages/PropPagePCSharing.h"

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "app/ScrambledText.h"
#include "platform/PropertySheet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const int kBoxes[] = {IDC_SMB_WORKGROUP, IDC_SMB_HOST_NAME, IDC_SMB_SHARE_DIRECTORY,
                      IDC_SMB_USER,      IDC_SMB_PASSWORD,  IDC_SMB_RETYPE_PASSWORD};

std::string StoredSMB(const char* pszEnabled, const char* pszPassword = "pw")
{
    return std::string("<LocalNetSharing><SMB><SmbEnabled>") + pszEnabled
        + "</SmbEnabled><SmbWorkgroup>HOME</SmbWorkgroup><SmbHostName>PC</SmbHostName><SmbUser>me</SmbUser>"
          "<SmbPassword>"
        + ScrambleText(pszPassword, CONFIG_KEY_TEXT).Bytes()
        + "</SmbPassword><SmbShareDirectory>Pics</SmbShareDirectory></SMB></LocalNetSharing>";
}

class PCSharingPageTest : public ::testing::Test
{
protected:
    void TearDown() override { ResetDocuments(); }

    QLineEdit* Edit(CPropPagePCSharing& page, int nID)
    {
        return qobject_cast<QLineEdit*>(page.GetDlgItem(nID)->GetSafeHwnd());
    }
    QCheckBox* EnableBox(CPropPagePCSharing& page)
    {
        return qobject_cast<QCheckBox*>(page.GetDlgItem(IDC_ENABLE_SHARING)->GetSafeHwnd());
    }
    void Type(CPropPagePCSharing& page, int nID, const QString& text) { TypeInto(page, nID, text); }
    int EnabledBoxes(CPropPagePCSharing& page)
    {
        int n = 0;
        for (int nID : kBoxes)
            n += Edit(page, nID)->isEnabled() ? 1 : 0;
        return n;
    }

    CScratchDrive m_drive;
};

} // namespace

TEST_F(PCSharingPageTest, ClicksOnTheEnableBoxSwitchTheSixBoxesAndKeepTheirContents)
{
    LoadDrive(m_drive, ConfigFile(StoredSMB("true")));
    CPropPagePCSharing page;
    RunSheet({&page}, [&](CPropertySheet& sheet) {
        EXPECT_TRUE(EnableBox(page)->isChecked());
        EXPECT_EQ(EnabledBoxes(page), 6);
        EXPECT_FALSE(ApplyEnabled(sheet));
        ClickCheck(EnableBox(page));
        EXPECT_EQ(EnabledBoxes(page), 0);
        EXPECT_EQ(Edit(page, IDC_SMB_WORKGROUP)->text(), "HOME");
        EXPECT_EQ(Edit(page, IDC_SMB_PASSWORD)->text(), "pw");
        EXPECT_TRUE(ApplyEnabled(sheet)) << "a click marks the page changed";
        ClickCheck(EnableBox(page));
        EXPECT_EQ(EnabledBoxes(page), 6);
        EXPECT_EQ(Edit(page, IDC_SMB_SHARE_DIRECTORY)->text(), "Pics");
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(SectionText(m_drive.ReadConfig(), "LocalNetSharing"),
              "<LocalNetSharing>\n"
              "    <SMB>\n"
              "        <SmbEnabled>true</SmbEnabled>\n"
              "        <SmbWorkgroup>HOME</SmbWorkgroup>\n"
              "        <SmbHostName>PC</SmbHostName>\n"
              "        <SmbUser>me</SmbUser>\n"
              "        <SmbPassword>"
                  + ScrambleText("pw", CONFIG_KEY_TEXT).Bytes()
                  + "</SmbPassword>\n"
                    "        <SmbShareDirectory>Pics</SmbShareDirectory>\n"
                    "    </SMB>\n"
                    "</LocalNetSharing>\n");
}

TEST_F(PCSharingPageTest, OnlyTheWordTrueTurnsSharingOnWhateverBlanksSurroundIt)
{
    for (const char* pszStored : {"True", "1", "", "true ", " true\n"}) {
        SCOPED_TRACE(pszStored);
        const bool bOn = QString(pszStored).trimmed() == "true";
        LoadDrive(m_drive, ConfigFile(StoredSMB(pszStored)));
        CPropPagePCSharing page;
        RunSheet({&page}, [&](CPropertySheet& sheet) {
            EXPECT_EQ(EnableBox(page)->isChecked(), bOn);
            EXPECT_EQ(EnabledBoxes(page), bOn ? 6 : 0);
            PressSheetButton(sheet, IDCANCEL);
        });
    }
}

TEST_F(PCSharingPageTest, SharingOffStoresPartialValuesAsEntered)
{
    LoadDrive(m_drive, ConfigFile(""));
    CPropPagePCSharing page;
    RunSheet({&page}, [&](CPropertySheet& sheet) {
        ClickCheck(EnableBox(page));
        Type(page, IDC_SMB_HOST_NAME, "  Den PC ");
        Type(page, IDC_SMB_PASSWORD, "CaseKept");
        ClickCheck(EnableBox(page));
        PressSheetButton(sheet, IDOK);
    });
    const std::string section = SectionText(m_drive.ReadConfig(), "LocalNetSharing");
    EXPECT_NE(section.find("<SmbEnabled>false</SmbEnabled>"), std::string::npos);
    EXPECT_NE(section.find("<SmbHostName>  Den PC </SmbHostName>"), std::string::npos);
    EXPECT_NE(section.find("<SmbPassword>" + ScrambleText("CaseKept", CONFIG_KEY_TEXT).Bytes() + "</SmbPassword>"),
              std::string::npos);
}
