#include "app/CardChooserDlg.h"

#include "TestSupport.h"
#include "app/KestrovaConfigToolApp.h"
#include "platform/MountedVolumes.h"
#include "platform/PropertySheet.h"

#include <QAccessible>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

QPushButton* ButtonNamed(QWidget* pWindow, const QString& text)
{
    for (QPushButton* pButton : pWindow->findChildren<QPushButton*>()) {
        if (pButton->text() == text)
            return pButton;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

// The mount table the editor sees; a test changes it while the chooser is shown, as plugging a card
// in changes the real one.
class CardChooser : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetMountTableSource([this]() { return *m_pTable; });
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_home.path()); // started from the menu: the home folder is no frame drive
        theApp.SetDriveOverride(CString());
    }
    void TearDown() override
    {
        QDir::setCurrent(m_previousDir);
        SetMountTableSource(nullptr);
    }
    void Mount(const CScratchDrive& drive, const char* pszLabel)
    {
        m_pTable->push_back({drive.Path() + "/", pszLabel, "vfat"});
    }

    std::shared_ptr<std::vector<CMountedVolume>> m_pTable = std::make_shared<std::vector<CMountedVolume>>();
    QTemporaryDir m_home;
    QString m_previousDir;
};

} // namespace

TEST_F(CardChooser, ListsEveryCardByLabelAndFolderForEyesAndScreenReadersAndOpensTheChosenOne)
{
    CScratchDrive first, second, third;
    Mount(first, "FRAME");
    Mount(second, "");
    CModalScript script;
    script.Then([&](QDialog* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Choose the Frame's Card");
        auto* pTable = pDialog->findChild<QTableView*>();
        ASSERT_NE(pTable, nullptr);
        ASSERT_EQ(pTable->model()->rowCount(), 2);
        QAccessibleInterface* pAccessible = QAccessible::queryAccessibleInterface(pTable);
        ASSERT_NE(pAccessible, nullptr);
        ASSERT_NE(pAccessible->tableInterface(), nullptr);
        const QString secondFolder = QString::fromStdString(second.Path().Bytes());
        EXPECT_EQ(pAccessible->tableInterface()->cellAt(0, 0)->text(QAccessible::Name), "FRAME");
        EXPECT_EQ(pAccessible->tableInterface()->cellAt(1, 1)->text(QAccessible::Name), secondFolder);
        // Without a label the card is named after its folder.
        EXPECT_EQ(pTable->model()->index(1, 0).data().toString(), QFileInfo(secondFolder).fileName());

        // A card plugged in now joins the list.
        Mount(third, "SPARE");
        QTRY_COMPARE_WITH_TIMEOUT(pTable->model()->rowCount(), 3, 4000);
        if (const char* pszDir = std::getenv("DPF_SCREENSHOT_DIR"))
            pDialog->grab().save(QString(pszDir) + "/card-chooser.png");

        const QRect row = pTable->visualRect(pTable->model()->index(1, 1));
        QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
        ClickButton(ButtonNamed(pDialog, "Open"));
    });
    std::vector<CFrameCard> cards = FindMountedCards();
    CCardChooserDlg chooser(cards);
    EXPECT_EQ(chooser.DoModal(), IDOK);
    EXPECT_EQ(chooser.GetDriveText(), second.Path());
    EXPECT_EQ(script.Unexpected(), 0);
}

TEST_F(CardChooser, AFolderWithoutTheSettingsIsRefusedAndCancelEndsTheRunWritingNothing)
{
    QTemporaryDir plain;
    QString message;
    CModalScript script;
    script.Then([&](QDialog* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Choose the Frame's Card");
        EXPECT_FALSE(ButtonNamed(pDialog, "Open")->isEnabled()) << "nothing to open while no card is listed";
        ClickButton(ButtonNamed(pDialog, "Choose Folder\u2026"));
        // Back from the folder window and its message: the chooser is still there to cancel.
        ClickButton(ButtonNamed(pDialog, "Cancel"));
    });
    script.Then([&](QDialog* pDialog) {
        auto* pPicker = qobject_cast<QFileDialog*>(pDialog);
        ASSERT_NE(pPicker, nullptr);
        pPicker->setDirectory(plain.path());
        pPicker->selectFile(plain.path());
        pDialog->accept(); // QFileDialog::accept, as its Choose button does
    });
    script.Then([&](QDialog* pDialog) {
        auto* pBox = qobject_cast<QMessageBox*>(pDialog);
        ASSERT_NE(pBox, nullptr);
        message = pBox->windowTitle() + ": " + pBox->text();
        ClickButton(pBox->button(QMessageBox::Ok));
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(message, "Error: " + plain.path() + " is not a frame drive: it has no System/Configuration folder.");
    EXPECT_EQ(theApp.m_pEmailPage, nullptr) << "no sheet was built";
    EXPECT_TRUE(QDir(plain.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_TRUE(QDir(m_home.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    EXPECT_EQ(script.Remaining(), 0);
    EXPECT_EQ(script.Unexpected(), 0);
}

TEST_F(CardChooser, ACardPluggedInWhileNoneIsListedOpensTheEditorOnIt)
{
    CScratchDrive card;
    const std::string config = ReadFileBytes(std::string(DPF_DEMO_DRIVE_DIR)
                                             + "/System/Configuration/Configuration.xml");
    card.WriteConfig(config);
    QString shownCard;
    QString caption;
    CModalScript script;
    script.Then([&](QDialog* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Choose the Frame's Card");
        Mount(card, "FRAME"); // the watch finds it within a second and opens it
    });
    script.Then([&](QDialog* pDialog) {
        caption = pDialog->windowTitle();
        if (auto* pLabel = pDialog->findChild<QLabel*>("buttonRowText"))
            shownCard = pLabel->accessibleName();
        auto* pSheet = dynamic_cast<CPropertySheet*>(theApp.m_pMainWnd);
        ASSERT_NE(pSheet, nullptr);
        ClickButton(pSheet->GetDlgItem(IDCANCEL)->GetSafeHwnd());
    });
    ResetDocuments();
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(caption, "DPF Settings");
    EXPECT_EQ(shownCard, QString::fromStdString("Card: " + card.Path().Bytes()));
    EXPECT_EQ(card.ReadConfig(), config);
    EXPECT_EQ(script.Remaining(), 0);
    EXPECT_EQ(script.Unexpected(), 0);
}
