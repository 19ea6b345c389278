#include "pages/PropPageAddressBook.h"

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "platform/PropertySheet.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Config(const std::string& sections)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo version=\"100\"><Configuration>" +
           sections + "</Configuration></RootInfo>\n";
}

std::string Senders(const char* pszGroup, const char* pszEntry, const std::vector<std::string>& addresses)
{
    std::string xml = std::string("<") + pszGroup + ">";
    for (const std::string& a : addresses)
        xml += std::string("<") + pszEntry + ">" + a + "</" + pszEntry + ">";
    return xml + "</" + pszGroup + ">";
}

QTableView* Table(CReportCtrl& list)
{
    return qobject_cast<QTableView*>(list.GetSafeHwnd());
}

std::vector<std::string> Column(CReportCtrl& list, int nCol = 0)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(list.CListCtrl::GetItemText(i, nCol).Bytes());
    return texts;
}

void CtrlClickRow(CReportCtrl& list, int nRow)
{
    QTableView* pTable = Table(list);
    QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      pTable->visualRect(pTable->model()->index(nRow, 0)).center());
}

QPushButton* PageButton(CPropertyPage& page, int nID)
{
    return qobject_cast<QPushButton*>(page.GetDlgItem(nID)->GetSafeHwnd());
}

// A text entry step: types the texts into the fields in order and presses OK.
CModalScript::Step TypeAndConfirm(std::vector<QString> texts)
{
    return [texts](QDialog* pDialog) {
        auto edits = pDialog->findChildren<QLineEdit*>();
        std::sort(edits.begin(), edits.end(), [](QLineEdit* a, QLineEdit* b) { return a->y() < b->y(); });
        ASSERT_EQ(edits.size(), static_cast<qsizetype>(texts.size()));
        for (size_t i = 0; i < texts.size(); ++i)
            TypeText(edits[static_cast<qsizetype>(i)], texts[i]);
        for (QPushButton* pButton : pDialog->findChildren<QPushButton*>()) {
            if (pButton->text() == "OK")
                ClickButton(pButton);
        }
    };
}

class AddressBookPageTest : public ::testing::Test
{
protected:
    void TearDown() override { ResetDocuments(); }
    std::string Section() const { return SectionText(m_drive.ReadConfig(), "EmailAddressBook"); }
    CScratchDrive m_drive;
    CPropPageAddressBook m_page;
};

} // namespace

TEST_F(AddressBookPageTest, EntriesAreShownSortedAndWrittenAsShownEachRowItsOwn)
{
    LoadDrive(m_drive, Config("<EmailAddressBook><AddressBook><NumEmailDetails>2</NumEmailDetails>"
                              "<EmailDetails><ABEmailAddress>z@x</ABEmailAddress><ABFname>Zoe</ABFname><ABLname></ABLname></EmailDetails>"
                              "<Other/><EmailDetails><ABFname>Al</ABFname><ABLname>Berg</ABLname></EmailDetails>"
                              "<EmailDetails><ABFname>Al</ABFname><ABLname>Adler</ABLname></EmailDetails></AddressBook>" +
                              Senders("AEmailAddresses", "AEmailAddress", {"zed", "adam", "mia"}) +
                              Senders("DEmailAddresses", "DEmailAddress", {"spam@x"}) + "</EmailAddressBook>"));
    RunSheet({&m_page}, [this](CPropertySheet& sheet) {
        EXPECT_EQ(Column(m_page.m_lstApproved), (std::vector<std::string>{"adam", "mia", "zed"}));
        EXPECT_EQ(Column(m_page.m_lstContacts), (std::vector<std::string>{"Al", "Al", "Zoe"}));
        // Two of one first name stay in the file's order, so that confirming never swaps them.
        EXPECT_EQ(Column(m_page.m_lstContacts, 1), (std::vector<std::string>{"Berg", "Adler", ""}));
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_EQ(Section(),
              "<EmailAddressBook>\n"
              "    <AddressBook>\n"
              "        <NumEmailDetails>3</NumEmailDetails>\n"
              "        <EmailDetails>\n"
              "            <ABEmailAddress></ABEmailAddress>\n"
              "            <ABFname>Al</ABFname>\n"
              "            <ABLname>Berg</ABLname>\n"
              "        </EmailDetails>\n"
              "        <EmailDetails>\n"
              "            <ABEmailAddress></ABEmailAddress>\n"
              "            <ABFname>Al</ABFname>\n"
              "            <ABLname>Adler</ABLname>\n"
              "        </EmailDetails>\n"
              "        <EmailDetails>\n"
              "            <ABEmailAddress>z@x</ABEmailAddress>\n"
              "            <ABFname>Zoe</ABFname>\n"
              "            <ABLname></ABLname>\n"
              "        </EmailDetails>\n"
              "        <Other />\n"
              "    </AddressBook>\n"
              "    <DEmailAddresses>\n"
              "        <NumDEmailAddress>1</NumDEmailAddress>\n"
              "        <DEmailAddress>spam@x</DEmailAddress>\n"
              "    </DEmailAddresses>\n"
              "    <AEmailAddresses>\n"
              "        <NumAEmailAddress>3</NumAEmailAddress>\n"
              "        <AEmailAddress>adam</AEmailAddress>\n"
              "        <AEmailAddress>mia</AEmailAddress>\n"
              "        <AEmailAddress>zed</AEmailAddress>\n"
              "    </AEmailAddresses>\n"
              "</EmailAddressBook>\n");
}

TEST_F(AddressBookPageTest, AddedContactStandsFirstAndCancelAddsNothing)
{
    LoadDrive(m_drive, Config("<EmailAddressBook><AddressBook><EmailDetails><ABFname>Anna</ABFname></EmailDetails>"
                              "</AddressBook></EmailAddressBook>"));
    CModalScript script;
    RunSheet({&m_page}, [&](CPropertySheet& sheet) {
        // Cancel: nothing changes and the page is not marked.
        script.Then([](QDialog* pDialog) {
            EXPECT_EQ(pDialog->windowTitle(), "Enter Approved Sender");
            pDialog->reject();
        });
        ClickButton(PageButton(m_page, IDC_ADD_APPROVED));
        EXPECT_EQ(m_page.m_lstApproved.GetItemCount(), 0);
        EXPECT_FALSE(sheet.GetDlgItem(ID_APPLY_NOW)->IsWindowEnabled());

        const CModalScript::Step type = TypeAndConfirm({"Zora", QString::fromUtf8("Nov\xC3\xA1k"), "zora@example.org"});
        script.Then([type](QDialog* pDialog) {
            EXPECT_EQ(pDialog->windowTitle(), "Enter Contact Info");
            type(pDialog);
        });
        ClickButton(PageButton(m_page, IDC_ADD_CONTACT));
        EXPECT_EQ(Column(m_page.m_lstContacts), (std::vector<std::string>{"Zora", "Anna"})) << "at the top, not sorted in";
        EXPECT_TRUE(sheet.GetDlgItem(ID_APPLY_NOW)->IsWindowEnabled());
        PressSheetButton(sheet, IDOK);
    }, &script);
    const std::string section = Section();
    EXPECT_LT(section.find("<ABFname>Zora</ABFname>"), section.find("<ABFname>Anna</ABFname>"));
    EXPECT_NE(section.find("<ABLname>Nov\xC3\xA1k</ABLname>"), std::string::npos);
    EXPECT_NE(section.find("<ABEmailAddress>zora@example.org</ABEmailAddress>"), std::string::npos);
    EXPECT_NE(section.find("<NumEmailDetails>2</NumEmailDetails>"), std::string::npos);
}

TEST_F(AddressBookPageTest, RemoveAndTheDeleteKeyDeleteExactlyTheSelectedRows)
{
    LoadDrive(m_drive, Config("<EmailAddressBook>" + Senders("DEmailAddresses", "DEmailAddress", {"a1", "a2", "a3", "a4", "a5"}) +
                              "</EmailAddressBook>"));
    RunSheet({&m_page}, [&](CPropertySheet& sheet) {
        ClickButton(PageButton(m_page, IDC_REMOVE_DENIED));
        EXPECT_EQ(m_page.m_lstDenied.GetItemCount(), 5) << "nothing selected, nothing removed";
        EXPECT_FALSE(sheet.GetDlgItem(ID_APPLY_NOW)->IsWindowEnabled());
        CtrlClickRow(m_page.m_lstDenied, 1);
        CtrlClickRow(m_page.m_lstDenied, 3);
        EXPECT_EQ(m_page.m_lstDenied.GetItemCount(RC_ITEM_SELECTED), 2);
        ClickButton(PageButton(m_page, IDC_REMOVE_DENIED));
        EXPECT_EQ(Column(m_page.m_lstDenied), (std::vector<std::string>{"a1", "a3", "a5"}));
        // Delete in the list does what Remove does.
        sheet.GetSafeHwnd()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.GetSafeHwnd()));
        CtrlClickRow(m_page.m_lstDenied, 0);
        m_page.m_lstDenied.GetSafeHwnd()->setFocus();
        QTest::keyClick(m_page.m_lstDenied.GetSafeHwnd(), Qt::Key_Delete);
        EXPECT_EQ(Column(m_page.m_lstDenied), (std::vector<std::string>{"a3", "a5"}));
        PressSheetButton(sheet, IDOK);
    });
    EXPECT_NE(Section().find("<NumDEmailAddress>2</NumDEmailAddress>"), std::string::npos);
    EXPECT_EQ(Section().find("a2"), std::string::npos);
}
