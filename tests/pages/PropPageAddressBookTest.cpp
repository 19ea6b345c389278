#include "pages/PropPageAddressBook.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

namespace {

std::string Senders(const char* pszGroup, const char* pszEntry, const std::vector<std::string>& addresses)
{
    std::string xml = std::string("<") + pszGroup + ">";
    for (const std::string& a : addresses)
        xml += std::string("<") + pszEntry + ">" + a + "</" + pszEntry + ">";
    return xml + "</" + pszGroup + ">";
}

class AddressBookPageTest : public CPageTest
{
protected:
    void Press(int nID) { ClickButton(m_page.GetDlgItem(nID)->GetSafeHwnd()); }
    int Rows() const
    {
        return m_page.m_lstContacts.GetItemCount() + m_page.m_lstApproved.GetItemCount()
            + m_page.m_lstDenied.GetItemCount();
    }
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "EmailAddressBook"); }
    CPropPageAddressBook m_page;
};

} // namespace

TEST_F(AddressBookPageTest, EntriesAreShownSortedAndWrittenAsShownEachRowItsOwn)
{
    LoadDrive(
        m_drive,
        ConfigFile(
            "<EmailAddressBook><AddressBook><NumEmailDetails>2</NumEmailDetails>"
            "<EmailDetails><ABEmailAddress>z@x</ABEmailAddress><ABFname>Zoe</ABFname><ABLname></ABLname></EmailDetails>"
            "<Other/><EmailDetails><ABFname>Al</ABFname><ABLname>Berg</ABLname></EmailDetails>"
            "<EmailDetails><ABFname>Al</ABFname><ABLname>Adler</ABLname></EmailDetails></AddressBook>"
            + Senders("AEmailAddresses", "AEmailAddress", {"zed", "adam", "mia"})
            + Senders("DEmailAddresses", "DEmailAddress", {"spam@x"}) + "</EmailAddressBook>"));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Column(m_page.m_lstApproved), (std::vector<std::string>{"adam", "mia", "zed"}));
        EXPECT_EQ(Column(m_page.m_lstContacts), (std::vector<std::string>{"Al", "Al", "Zoe"}));
        // Two of one first name stay in the file's order, so that confirming never swaps them.
        EXPECT_EQ(Column(m_page.m_lstContacts, 1), (std::vector<std::string>{"Berg", "Adler", ""}));
        PressSheetButton(sheet, IDOK);
    });
    // Written as shown, each row with its own three values, and the unknown <Other/> kept.
    ExpectInOrder(Section(),
                  {"<NumEmailDetails>3<", "<ABEmailAddress></ABEmailAddress>\n            <ABFname>Al<",
                   "<ABLname>Berg<", "<ABEmailAddress></ABEmailAddress>\n            <ABFname>Al<", "<ABLname>Adler<",
                   "<ABEmailAddress>z@x<", "<ABFname>Zoe<", "<ABLname></ABLname>", "<Other />", "<NumDEmailAddress>1<",
                   "<DEmailAddress>spam@x<", "<NumAEmailAddress>3<", ">adam<", ">mia<", ">zed<"});
}

// Each of the six buttons works on its own list only: an added entry stands first (not sorted in),
// Cancel adds nothing, Remove takes exactly the selected rows, and the file holds what is shown.
TEST_F(AddressBookPageTest, EachAddAndRemoveButtonChangesItsOwnListAndTheFileFollows)
{
    LoadDrive(m_drive,
              ConfigFile("<EmailAddressBook><AddressBook><EmailDetails><ABFname>Anna</ABFname></EmailDetails>"
                         "<EmailDetails><ABFname>Bert</ABFname></EmailDetails></AddressBook>"
                         + Senders("DEmailAddresses", "DEmailAddress", {"d1", "d2"})
                         + Senders("AEmailAddresses", "AEmailAddress", {"a1", "a2"}) + "</EmailAddressBook>"));
    struct Case
    {
        CReportCtrl& list;
        int nAdd, nRemove;
        const char* pszTitle;
        std::vector<QString> typed;
        std::vector<std::string> shown; // after the add, then the removal of the second row
    };
    const std::vector<Case> cases = {
        {m_page.m_lstContacts,
         IDC_ADD_CONTACT,
         IDC_REMOVE_CONTACT,
         "Enter Contact Info",
         std::vector<QString>{"Zora", QString::fromUtf8("Nov\xC3\xA1k"), "zora@example.org"},
         {"Zora", "Bert"}},
        {m_page.m_lstApproved,
         IDC_ADD_APPROVED,
         IDC_REMOVE_APPROVED,
         "Enter Approved Sender",
         std::vector<QString>{"a0@example.org"},
         {"a0@example.org", "a2"}},
        {m_page.m_lstDenied,
         IDC_ADD_DENIED,
         IDC_REMOVE_DENIED,
         "Enter Denied Sender",
         std::vector<QString>{"d0@example.org"},
         {"d0@example.org", "d2"}},
    };
    CModalScript script;
    RunSheet(
        {&m_page},
        [&](CPropertySheet& sheet) {
            for (const Case& c : cases) {
                SCOPED_TRACE(c.pszTitle);
                script.Then([&](QDialog* pDialog) {
                    EXPECT_EQ(pDialog->windowTitle(), c.pszTitle);
                    pDialog->reject();
                });
                Press(c.nAdd);
                EXPECT_EQ(c.list.GetItemCount(), 2) << "Cancel adds nothing";
                EXPECT_EQ(ApplyEnabled(sheet), &c != &cases[0]) << "nor marks the page";
                script.Then(TypeAndConfirm(c.typed));
                Press(c.nAdd);
                CtrlClickRow(c.list, 1);
                Press(c.nRemove);
                EXPECT_EQ(Column(c.list), c.shown);
                EXPECT_EQ(Rows(), 6) << "one added, one removed, and only here";
            }
            EXPECT_TRUE(ApplyEnabled(sheet));
            PressSheetButton(sheet, IDOK);
        },
        &script);
    const std::string section = Section();
    ExpectInOrder(section,
                  {"<NumEmailDetails>2<", "<ABEmailAddress>zora@example.org<",
                   "<ABFname>Zora</ABFname>\n            <ABLname>Nov\xC3\xA1k</ABLname>", ">Bert<",
                   "<NumDEmailAddress>2<", "<DEmailAddress>d0@example.org</DEmailAddress>\n        <DEmailAddress>d2<",
                   "<NumAEmailAddress>2<",
                   "<AEmailAddress>a0@example.org</AEmailAddress>\n        <AEmailAddress>a2<"});
    for (const char* pszGone : {"Anna", ">a1<", ">d1<"})
        EXPECT_EQ(section.find(pszGone), std::string::npos) << pszGone;
}

TEST_F(AddressBookPageTest, RemoveWithoutASelectionRemovesNothingAndTheDeleteKeyRemovesTheSelectedRows)
{
    LoadDrive(m_drive,
              ConfigFile("<EmailAddressBook>"
                         + Senders("DEmailAddresses", "DEmailAddress", {"a1", "a2", "a3", "a4", "a5"})
                         + "</EmailAddressBook>"));
    RunSheet({&m_page}, [&](CPropertySheet& sheet) {
        Press(IDC_REMOVE_DENIED);
        EXPECT_EQ(m_page.m_lstDenied.GetItemCount(), 5);
        EXPECT_FALSE(ApplyEnabled(sheet));
        sheet.GetSafeHwnd()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.GetSafeHwnd()));
        CtrlClickRow(m_page.m_lstDenied, 1);
        CtrlClickRow(m_page.m_lstDenied, 3);
        m_page.m_lstDenied.GetSafeHwnd()->setFocus();
        QTest::keyClick(m_page.m_lstDenied.GetSafeHwnd(), Qt::Key_Delete);
        EXPECT_EQ(Column(m_page.m_lstDenied), (std::vector<std::string>{"a1", "a3", "a5"}));
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_NE(Section().find("<NumDEmailAddress>3</NumDEmailAddress>"), std::string::npos);
}
