// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's window at the desktop's font and at a 13-point one (and, run by scripts/screenshots.sh,
// at QT_SCALE_FACTOR=2): no label, button, tree item, list heading or list cell is cut, every control
// tells a screen reader its name, the window fits a 1280 x 1024 screen, it grows with its lists, and
// the text entry window is in the desktop's font. With DPF_SCREENSHOT_DIR set, every page is saved
// there as a picture.

#include "TestSupport.h"
#include "pages/PropPageAddressBook.h"
#include "platform/PropertySheet.h"
#include "platform/TreeCtrl.h"
#include "ui/TreePropSheet.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

void ExpectNoTextCut(QWidget* pDialog)
{
    for (QWidget* pWidget : pDialog->findChildren<QWidget*>()) {
        if (!pWidget->isVisible() || !(qobject_cast<QLabel*>(pWidget) || qobject_cast<QAbstractButton*>(pWidget)))
            continue;
        EXPECT_GE(pWidget->width(), pWidget->sizeHint().width()) << pWidget->objectName().toStdString() << " is cut";
        EXPECT_GE(pWidget->height(), pWidget->minimumSizeHint().height())
            << pWidget->objectName().toStdString() << " is cut";
    }
    auto* pTree = pDialog->findChild<QTreeWidget*>();
    ASSERT_NE(pTree, nullptr);
    EXPECT_FALSE(pTree->horizontalScrollBar()->isVisible()) << "the tree scrolls sideways";
    EXPECT_LE(pTree->header()->sectionSize(0), pTree->viewport()->width()) << "a tree item is cut";
}

QString Name(QWidget* pWidget);

// Every column of a shown list is as wide as its heading (with its sort arrow) and its cells need, as
// Qt measures them, and the columns reach the list's right edge. At the desktop's font every list
// fits its columns without scrolling sideways.
void ExpectListColumnsFit(QWidget* pPage, bool bDesktopFont)
{
    for (QTableView* pList : pPage->findChildren<QTableView*>()) {
        if (!pList->isVisible())
            continue;
        const std::string name = Name(pList).toStdString();
        QHeaderView* pHeader = pList->horizontalHeader();
        int nColumns = 0;
        for (int nCol = 0; nCol < pList->model()->columnCount(); ++nCol) {
            const int nWidth = pList->columnWidth(nCol);
            EXPECT_GE(nWidth, pHeader->sectionSizeHint(nCol)) << name << ": heading " << nCol << " is cut";
            EXPECT_GE(nWidth, static_cast<QAbstractItemView*>(pList)->sizeHintForColumn(nCol))
                << name << ": a cell of column " << nCol << " is cut";
            nColumns += nWidth;
        }
        EXPECT_GE(nColumns, pList->viewport()->width()) << name << ": the last column stops short";
        EXPECT_TRUE(!bDesktopFont || !pList->horizontalScrollBar()->isVisible()) << name << " scrolls sideways";
    }
}

const std::set<QAccessible::Role> kInteractive = {
    QAccessible::PushButton,   QAccessible::CheckBox, QAccessible::RadioButton, QAccessible::ComboBox,
    QAccessible::EditableText, QAccessible::Table,    QAccessible::Tree,        QAccessible::List};

// Every interface under pInterface, its own included, hidden ones too: assistive technology lists
// them. The cells of lists and trees and the items of combo boxes are theirs to tell.
void Walk(QAccessibleInterface* pInterface, std::vector<QAccessibleInterface*>& found)
{
    found.push_back(pInterface);
    const QAccessible::Role role = pInterface->role();
    if (role == QAccessible::Table || role == QAccessible::Tree || role == QAccessible::ComboBox)
        return;
    for (int i = 0; i < pInterface->childCount(); ++i) {
        if (QAccessibleInterface* pChild = pInterface->child(i))
            Walk(pChild, found);
    }
}

QString Name(QWidget* pWidget)
{
    return QAccessible::queryAccessibleInterface(pWidget)->text(QAccessible::Name);
}

// What a screen reader finds in the window, read through QAccessible as assistive technology reads
// it: every control the user can reach says a name, combo boxes are named by their labels rather than
// their values, lists by their group, and the hidden tab control is nowhere.
void ExpectScreenReaderNames(CPropertySheet& sheet)
{
    std::vector<QAccessibleInterface*> found;
    Walk(QAccessible::queryAccessibleInterface(sheet.GetSafeHwnd()), found);
    int nTrees = 0;
    for (QAccessibleInterface* pControl : found) {
        EXPECT_NE(pControl->role(), QAccessible::PageTabList) << "the hidden tab control is exposed";
        if (pControl->state().invisible || !kInteractive.count(pControl->role()))
            continue;
        auto* pWidget = qobject_cast<QWidget*>(pControl->object());
        EXPECT_FALSE(pControl->text(QAccessible::Name).isEmpty())
            << pControl->object()->metaObject()->className() << " " << pControl->object()->objectName().toStdString()
            << " has no name";
        EXPECT_EQ(pControl->state().disabled, pWidget && !pWidget->isEnabled()) << pWidget->objectName().toStdString();
        nTrees += pControl->role() == QAccessible::Tree;
    }
    EXPECT_EQ(nTrees, 1) << "the page tree is there, once";

    QWidget* pPage = sheet.GetActivePage()->GetSafeHwnd();
    for (QLabel* pLabel : pPage->findChildren<QLabel*>()) {
        auto* pCombo = qobject_cast<QComboBox*>(pLabel->buddy());
        if (!pCombo)
            continue;
        QAccessibleInterface* pInterface = QAccessible::queryAccessibleInterface(pCombo);
        EXPECT_EQ(pInterface->role(), QAccessible::ComboBox);
        EXPECT_TRUE(pLabel->text().remove('&').startsWith(Name(pCombo)) && !Name(pCombo).isEmpty())
            << Name(pCombo).toStdString() << " is not the label " << pLabel->text().toStdString();
        EXPECT_EQ(pInterface->text(QAccessible::Value), pCombo->currentText());
    }
    for (QTableView* pList : pPage->findChildren<QTableView*>()) {
        auto* pGroup = qobject_cast<QGroupBox*>(pList->parentWidget());
        ASSERT_NE(pGroup, nullptr);
        EXPECT_EQ(Name(pList), pGroup->title());
    }
}

class FontSizeTest : public ::testing::TestWithParam<int>
{};

} // namespace

TEST_P(FontSizeTest, NoTextIsCutOrUnnamedOnAnyPageTheWindowFitsTheScreenAndGrowsWithItsLists)
{
    const CDesktopFont font(GetParam());
    const QString suffix = GetParam() > 0 ? QString("-%1pt").arg(GetParam()) : QString();
    CModalScript script;
    RunDemoApplication(
        [&](CPropertySheet& sheet) {
            QWidget* pDialog = sheet.GetSafeHwnd();
            const qreal dpr = pDialog->devicePixelRatioF();
            EXPECT_LE(pDialog->minimumWidth() * dpr, 1280);
            EXPECT_LE(pDialog->minimumHeight() * dpr, 1024);
            EXPECT_LE(pDialog->minimumWidth(), pDialog->width());
            // The pages' area scrolls only where the screen is too small for the pages: at scale 1, a
            // 1280 x 1024 screen holds the window with its largest page whole.
            auto* pArea = pDialog->findChild<QScrollArea*>();
            ASSERT_NE(pArea, nullptr);
            const QSize whole = pDialog->size() - pArea->size() + pArea->widget()->minimumSize();
            EXPECT_TRUE(dpr != 1 || QRect(0, 0, 1280, 1024).contains(QRect(QPoint(0, 0), whole)));
            int nAddressBook = -1;
            for (int i = 0; i < sheet.GetPageCount(); ++i) {
                ASSERT_TRUE(sheet.SetActivePage(i));
                // "Configured Networks::Hendriksen Home" is saved as page-configured-networks-hendriksen-home.
                const QString title = QString::fromStdString(sheet.GetTabControl()->GetItemText(i).Bytes());
                SCOPED_TRACE(title.toStdString());
                ExpectNoTextCut(pDialog);
                // As the user first sees them: the lists measure their rows once the event loop runs.
                QApplication::processEvents();
                ExpectListColumnsFit(sheet.GetActivePage()->GetSafeHwnd(), GetParam() == 0);
                ExpectScreenReaderNames(sheet);
                SaveScreenshot(pDialog,
                               "page-" + title.toLower().replace(QRegularExpression("[^a-z0-9]+"), "-") + suffix);
                nAddressBook = title == "Address Book" ? i : nAddressBook;
            }
            // Made larger, the window gives the room to its pages: a list grows and its last column fills
            // it. At scale 2 the 1280 x 1024 screen leaves no room to grow.
            if (dpr == 1) {
                ASSERT_TRUE(sheet.SetActivePage(nAddressBook));
                auto* pList = sheet.GetActivePage()->GetSafeHwnd()->findChild<QTableView*>();
                ASSERT_NE(pList, nullptr);
                const QSize list = pList->size();
                pDialog->resize(pDialog->size() + QSize(200, 150));
                QApplication::processEvents();
                EXPECT_EQ(pList->width(), list.width() + 200);
                EXPECT_GT(pList->height(), list.height());
                const int nLast = pList->model()->columnCount() - 1;
                EXPECT_EQ(pList->columnViewportPosition(nLast) + pList->columnWidth(nLast), pList->viewport()->width());
            }
            // The text entry window is in the desktop's font, as the window that opens it is.
            ASSERT_TRUE(sheet.SetActivePage(nAddressBook));
            int nControls = 0;
            script.Then([&](QDialog* pEntry) {
                for (QWidget* pControl : pEntry->findChildren<QWidget*>()) {
                    if (!qobject_cast<QLabel*>(pControl) && !qobject_cast<QLineEdit*>(pControl))
                        continue;
                    EXPECT_EQ(pControl->font().pointSizeF(), QApplication::font().pointSizeF());
                    EXPECT_EQ(pControl->font().family(), QApplication::font().family());
                    ++nControls;
                }
                SaveScreenshot(pEntry, "text-entry-contact" + suffix);
                pEntry->findChild<QLineEdit*>()->setFocus();
                QTest::keyClick(pEntry->findChild<QLineEdit*>(), Qt::Key_Escape);
            });
            ClickButton(sheet.GetActivePage()->GetDlgItem(IDC_ADD_CONTACT)->GetSafeHwnd());
            EXPECT_EQ(nControls, 6) << "three labels and three edit boxes";
            // Its windows, the boxes it opens too, carry the program's icon.
            EXPECT_FALSE(pDialog->windowIcon().isNull());
            bool bBoxHasIcon = false;
            script.Then([&](QDialog* pBox) {
                bBoxHasIcon = !pBox->windowIcon().isNull();
                pBox->accept();
            });
            sheet.MessageBox("Seen with its icon", "Error");
            EXPECT_TRUE(bBoxHasIcon);
            PressSheetButton(sheet, IDCANCEL);
        },
        &script);
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, FontSizeTest, ::testing::Values(0, 13),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param ? std::to_string(info.param) + "Points" : std::string("Default");
                         });
