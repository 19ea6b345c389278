// What a screen reader finds in the editor's window, read through QAccessible as assistive technology
// reads it: on every page, every control the user can reach says a name, combo boxes are named by
// their labels rather than their values, lists by their group, and the hidden tab control is nowhere.

#include "TestSupport.h"
#include "platform/PropertySheet.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTableView>

#include <gtest/gtest.h>

#include <set>

namespace {

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

} // namespace

TEST(Accessibility, EveryPageNamesItsControlsAndHidesTheTabControl)
{
    RunDemoApplication([](CPropertySheet& sheet) {
        ASSERT_NE(sheet.GetTabControl(), nullptr) << "the tab control still keeps the pages";
        for (int i = 0; i < sheet.GetPageCount(); ++i) {
            ASSERT_TRUE(sheet.SetActivePage(i));
            SCOPED_TRACE(sheet.GetTabControl()->GetItemText(i).Bytes());
            std::vector<QAccessibleInterface*> found;
            Walk(QAccessible::queryAccessibleInterface(sheet.GetSafeHwnd()), found);
            int nTrees = 0;
            for (QAccessibleInterface* pControl : found) {
                EXPECT_NE(pControl->role(), QAccessible::PageTabList) << "the hidden tab control is exposed";
                if (pControl->state().invisible || !kInteractive.count(pControl->role()))
                    continue;
                auto* pWidget = qobject_cast<QWidget*>(pControl->object());
                EXPECT_FALSE(pControl->text(QAccessible::Name).isEmpty())
                    << pControl->object()->metaObject()->className() << " "
                    << pControl->object()->objectName().toStdString() << " has no name";
                EXPECT_EQ(pControl->state().disabled, pWidget && !pWidget->isEnabled())
                    << pWidget->objectName().toStdString();
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
        PressSheetButton(sheet, IDCANCEL);
    });
}
