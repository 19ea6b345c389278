// SPDX-License-Identifier: GPL-3.0-or-later
#include "pages/PropPageAddressBook.h"

#include "PageTestSupport.h"
#include "platform/PropertySheet.h"

namespace {

class AddressBookPageTest : public CPageTest
{
protected:
    void Press(int nID) { ClickButton(m_page.GetDlgItem(nID)->GetSafeHwnd()); }
    int Rows() const
    {
        return m_page.m_lstContacts.GetItemCount() + m_page.m_lstApproved.GetItemCount()
            + m_page.m_lstDenied.GetItemCount();
    }
    CPropPageAddressBook m_page;
};

} // namespace

TEST_F(AddressBookPageTest, EntriesAreShownSortedAndWrittenAsShownEachRowItsOwn)
{
    LoadDrive(m_drive, UseCase("address-book-sorted"));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Column(m_page.m_lstApproved), (std::vector<std::string>{"adam", "mia", "zed"}));
        EXPECT_EQ(Column(m_page.m_lstContacts), (std::vector<std::string>{"Al", "Al", "Zoe"}));
        // Two of one first name stay in the file's order, so that confirming never swaps them.
        EXPECT_EQ(Column(m_page.m_lstContacts, 1), (std::vector<std::string>{"Berg", "Adler", ""}));
        // Once the page is changed, its lists are written as they are shown.
        m_page.SetModified(TRUE);
        PressSheetButton(sheet, IDOK);
    });
    // Written as shown, each row with its own three values, and the unknown <Other/> kept.
    ExpectWritten();
}

// The card holds two entries in each list. Each of the six buttons works on its own list only: an added
// entry stands first (not sorted in), Cancel adds nothing, Remove takes exactly the selected rows, and
// the file holds what is shown.
TEST_F(AddressBookPageTest, EachAddAndRemoveButtonChangesItsOwnListAndTheFileFollows)
{
    LoadDrive(m_drive, UseCase("address-book-buttons"));
    struct Case
    {
        CReportCtrl& list;
        int nAdd, nRemove;
        const char* pszTitle;
        std::vector<QString> typed;
        std::vector<std::string> shown; // after the add, then the removal of the second row
    };
    const std::vector<Case> cases = {
        {m_page.m_lstContacts, IDC_ADD_CONTACT, IDC_REMOVE_CONTACT, "Enter Contact Info",
         std::vector<QString>{"Zora", QString::fromUtf8("Nov\xC3\xA1k"), "zora@example.org"},
         std::vector<std::string>{"Zora", "Bert"}},
        {m_page.m_lstApproved, IDC_ADD_APPROVED, IDC_REMOVE_APPROVED, "Enter Approved Sender",
         std::vector<QString>{"a0@example.org"}, std::vector<std::string>{"a0@example.org", "a2"}},
        {m_page.m_lstDenied, IDC_ADD_DENIED, IDC_REMOVE_DENIED, "Enter Denied Sender",
         std::vector<QString>{"d0@example.org"}, std::vector<std::string>{"d0@example.org", "d2"}},
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
    ExpectWritten();
}

TEST_F(AddressBookPageTest, RemoveWithoutASelectionRemovesNothingAndTheDeleteKeyRemovesTheSelectedRows)
{
    LoadDrive(m_drive, UseCase("address-book-delete"));
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
    ExpectWritten();
}

// While "Enter Contact Info" is open the sheet behind it takes no input: its OK, Cancel and close box
// do nothing, so the contact typed afterwards reaches the list and, with the sheet's own OK, the file.
TEST_F(AddressBookPageTest, TheSheetTakesNoInputWhileAnEntryWindowIsOpenAndNothingTypedThereIsLost)
{
    LoadDrive(m_drive, UseCase("address-book-sorted"));
    const std::string original = m_drive.ReadConfig();
    CModalScript script;
    RunSheet(
        {&m_page},
        [&](CPropertySheet& sheet) {
            script.Then([&](QDialog* pEntry) {
                EXPECT_TRUE(pEntry->isModal());
                EXPECT_EQ(pEntry->windowModality(), Qt::ApplicationModal);
                PressSheetButton(sheet, IDOK);
                EXPECT_TRUE(sheet.GetSafeHwnd()->isVisible());
                PressSheetButton(sheet, IDCANCEL);
                EXPECT_TRUE(sheet.GetSafeHwnd()->isVisible());
                EXPECT_TRUE(pEntry->isVisible());
                EXPECT_EQ(m_drive.ReadConfig(), original);
                TypeAndConfirm({"Mia", "Lind", "mia@example.org"})(pEntry);
            });
            Press(IDC_ADD_CONTACT);
            PressSheetButton(sheet, IDOK);
        },
        &script);
    EXPECT_EQ(script.Unexpected(), 0);
    EXPECT_NE(m_drive.ReadConfig().find("<ABEmailAddress>mia@example.org</ABEmailAddress>"), std::string::npos);
}
