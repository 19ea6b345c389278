// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPagePCSharing.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

#include <QCheckBox>

namespace {

std::string StoredSMB(const char* pszEnabled)
{
    return std::string("<LocalNetSharing><SMB><SmbEnabled>") + pszEnabled
        + "</SmbEnabled><SmbWorkgroup>HOME</SmbWorkgroup><SmbHostName>PC</SmbHostName><SmbUser>me</SmbUser>"
          "<SmbPassword>"
        + Scrambled("pw") + "</SmbPassword><SmbShareDirectory>Pics</SmbShareDirectory></SMB></LocalNetSharing>";
}

QCheckBox* EnableBox(CPropPagePCSharing& page)
{
    return qobject_cast<QCheckBox*>(page.GetDlgItem(IDC_ENABLE_SHARING)->GetSafeHwnd());
}

int EnabledBoxes(CPropPagePCSharing& page)
{
    int n = 0;
    for (int nID : {IDC_SMB_WORKGROUP, IDC_SMB_HOST_NAME, IDC_SMB_SHARE_DIRECTORY, IDC_SMB_USER, IDC_SMB_PASSWORD,
                    IDC_SMB_RETYPE_PASSWORD})
        n += Edit(page, nID)->isEnabled() ? 1 : 0;
    return n;
}

class PCSharingPageTest : public CPageTest
{
protected:
    CPropPagePCSharing m_page;
};

} // namespace

// Switched off, the six boxes of the stored account (password "pw") keep what they hold, and what they
// hold is stored as it was typed, blanks and case included, for the day sharing is switched on again.
TEST_F(PCSharingPageTest, ClicksOnTheEnableBoxSwitchTheSixBoxesAndSharingOffStoresTheirContentsAsTyped)
{
    LoadDrive(m_drive, UseCase("pc-sharing-switched-off"));
    RunSheet({&m_page}, [&](CPropertySheet& sheet) {
        EXPECT_TRUE(EnableBox(m_page)->isChecked());
        EXPECT_EQ(EnabledBoxes(m_page), 6);
        EXPECT_FALSE(ApplyEnabled(sheet));
        ClickCheck(EnableBox(m_page));
        EXPECT_EQ(EnabledBoxes(m_page), 0);
        EXPECT_EQ(Edit(m_page, IDC_SMB_WORKGROUP)->text(), "HOME");
        EXPECT_EQ(Edit(m_page, IDC_SMB_PASSWORD)->text(), "pw");
        EXPECT_TRUE(ApplyEnabled(sheet)) << "a click marks the page changed";
        ClickCheck(EnableBox(m_page));
        EXPECT_EQ(EnabledBoxes(m_page), 6);
        TypeInto(m_page, IDC_SMB_HOST_NAME, "  Den PC ");
        TypeInto(m_page, IDC_SMB_PASSWORD, "CaseKept");
        ClickCheck(EnableBox(m_page));
        PressSheetButton(sheet, IDOK);
    });
    ExpectWritten();
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

// Another tool wrote the workgroup as text and CDATA, and put a comment inside the PC's name: the
// page shows each whole value, and a confirm writes each as one text.
TEST_F(PCSharingPageTest, AValueStoredInPiecesIsShownAndWrittenWhole)
{
    LoadDrive(m_drive,
              ConfigFile("<LocalNetSharing><SMB><SmbEnabled>true</SmbEnabled><SmbWorkgroup>AT<![CDATA[&]]>T"
                         "</SmbWorkgroup><SmbHostName>FAMILY<!-- the big one -->-PC</SmbHostName><SmbUser>me"
                         "</SmbUser><SmbPassword>"
                         + Scrambled("pw")
                         + "</SmbPassword><SmbShareDirectory><![CDATA[Photos]]]]><![CDATA[>2024]]>"
                           "</SmbShareDirectory></SMB></LocalNetSharing>"));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Edit(m_page, IDC_SMB_WORKGROUP)->text(), "AT&T");
        EXPECT_EQ(Edit(m_page, IDC_SMB_HOST_NAME)->text(), "FAMILY-PC");
        EXPECT_EQ(Edit(m_page, IDC_SMB_SHARE_DIRECTORY)->text(), "Photos]]>2024");
        TypeInto(m_page, IDC_SMB_USER, "family");
        PressSheetButton(sheet, IDOK);
    });
    ExpectInOrder(SectionText(m_drive.ReadConfig(), "LocalNetSharing"),
                  {"<SmbWorkgroup>AT&amp;T</SmbWorkgroup>", "<SmbHostName>FAMILY-PC<!-- the big one --></SmbHostName>",
                   "<SmbUser>family</SmbUser>", "<SmbShareDirectory>Photos]]&gt;2024</SmbShareDirectory>"});
}
