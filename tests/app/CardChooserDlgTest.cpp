// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CardChooserDlg.h"

#include "TestSupport.h"
#include "app/KestrovaConfigToolApp.h"
#include "platform/MountedVolumes.h"

#include <QAccessible>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

QPushButton* ButtonNamed(QWidget* pWindow, const QString& text)
{
    for (QPushButton* pButton : pWindow->findChildren<QPushButton*>())
        if (pButton->text() == text)
            return pButton;
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
        SetMountTableSource([this]() { return m_table; });
        QDir::setCurrent(m_home.path()); // started from the menu: the home folder is no frame drive
        theApp.SetDriveOverride(CString());
    }
    void TearDown() override
    {
        QDir::setCurrent(m_previousDir);
        UseTestMountTable();
    }
    void Mount(const CScratchDrive& drive, const char* pszLabel)
    {
        m_table.push_back({drive.Path() + "/", pszLabel, "vfat"});
    }

    std::vector<CMountedVolume> m_table;
    QTemporaryDir m_home;
    const QString m_previousDir = QDir::currentPath();
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
        QAccessibleTableInterface* pCells = pAccessible ? pAccessible->tableInterface() : nullptr;
        ASSERT_NE(pCells, nullptr);
        const QString secondFolder = QString::fromStdString(second.Path().Bytes());
        EXPECT_EQ(pCells->cellAt(0, 0)->text(QAccessible::Name), "FRAME");
        EXPECT_EQ(pCells->cellAt(1, 1)->text(QAccessible::Name), secondFolder);
        // Without a label the card is named after its folder.
        EXPECT_EQ(pTable->model()->index(1, 0).data().toString(), QFileInfo(secondFolder).fileName());

        // A card plugged in now joins the list.
        Mount(third, "SPARE");
        QTRY_COMPARE_WITH_TIMEOUT(pTable->model()->rowCount(), 3, 4000);
        SaveScreenshot(pDialog, "card-chooser");

        QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier,
                          pTable->visualRect(pTable->model()->index(1, 1)).center());
        ClickButton(ButtonNamed(pDialog, "Open"));
    });
    CCardChooserDlg chooser(FindMountedCards());
    EXPECT_EQ(chooser.DoModal(), IDOK);
    EXPECT_EQ(chooser.GetDriveText(), second.Path());
    EXPECT_EQ(script.Unexpected(), 0);
}

TEST_F(CardChooser, AtALargeDesktopFontItsPromptAndButtonsAreWhole)
{
    const CDesktopFont font(13);
    CModalScript script;
    int nWhole = 0;
    script.Then([&](QDialog* pDialog) {
        for (QWidget* pControl : pDialog->findChildren<QWidget*>()) {
            if (!qobject_cast<QLabel*>(pControl) && !qobject_cast<QPushButton*>(pControl))
                continue;
            EXPECT_EQ(pControl->font().pointSize(), 13);
            EXPECT_GE(pControl->width(), pControl->sizeHint().width()) << pControl->objectName().toStdString();
            EXPECT_GE(pControl->height(), pControl->minimumSizeHint().height()) << pControl->objectName().toStdString();
            ++nWhole;
        }
        ClickButton(ButtonNamed(pDialog, "Cancel"));
    });
    CCardChooserDlg chooser({});
    EXPECT_EQ(chooser.DoModal(), IDCANCEL);
    EXPECT_EQ(nWhole, 4) << "the prompt and three buttons";
}

TEST_F(CardChooser, AFolderWithoutTheSettingsIsRefusedAndCancelEndsTheRunWritingNothing)
{
    QTemporaryDir plain;
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
        EXPECT_EQ(pBox->windowTitle() + ": " + pBox->text(),
                  "Error: " + plain.path() + " is not a frame drive: it has no System/Configuration folder.");
        ClickButton(pBox->button(QMessageBox::Ok));
    });
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(theApp.m_pEmailPage, nullptr) << "no sheet was built";
    EXPECT_TRUE(QDir(plain.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QDir(m_home.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(script.Remaining(), 0);
    EXPECT_EQ(script.Unexpected(), 0);
}
