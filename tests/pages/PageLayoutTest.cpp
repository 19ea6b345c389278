// SPDX-License-Identifier: GPL-3.0-or-later
// Every page, shown in the sheet as the user sees it: nothing sticks out or overlaps, and the keyboard
// reaches everything. (That no text is cut, at two fonts, and the pictures of the pages are the
// font size test's.)

#include "TestSupport.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"
#include "platform/PropertySheet.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void ExpectNothingOutsideOrOverlapping(QWidget* pPage)
{
    const auto widgets = pPage->findChildren<QWidget*>();
    for (QWidget* pWidget : widgets) {
        if (!pWidget->isVisible())
            continue;
        const QString name = pWidget->objectName();
        const QRect area = pWidget->parentWidget()->rect();
        EXPECT_TRUE(area.contains(pWidget->geometry())) << name.toStdString() << " sticks out of its parent";
        for (QWidget* pOther : widgets) {
            if (pOther == pWidget || pOther->parentWidget() != pWidget->parentWidget() || !pOther->isVisible())
                continue;
            EXPECT_FALSE(pWidget->geometry().intersects(pOther->geometry()))
                << name.toStdString() << " overlaps " << pOther->objectName().toStdString();
        }
    }
}

// Tab, pressed as a user presses it, walks the sheet in reading order and never gets stuck: the row of
// tabs, every enabled control of the page in its template's order, then the enabled buttons, and
// round again. Every label's mnemonic (Alt and its underlined letter, pressed again where two labels
// share the letter) reaches the label's box, and an Alt+letter nothing answers types nothing.
void ExpectKeyboardReachesEverything(QWidget* pDialog, QWidget* pPage)
{
    pDialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pDialog));
    std::vector<QWidget*> expected = {pDialog->findChild<QTabBar*>()};
    for (QWidget* pWidget : pPage->findChildren<QWidget*>()) {
        auto* pRadio = qobject_cast<QRadioButton*>(pWidget);
        if (pWidget->isVisible() && pWidget->isEnabled() && (pWidget->focusPolicy() & Qt::TabFocus)
            && !pWidget->focusProxy() && !(pRadio && !pRadio->isChecked()))
            expected.push_back(pWidget);
    }
    for (QPushButton* pButton : pDialog->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        if (pButton->isEnabled())
            expected.push_back(pButton);
    }
    expected.front()->setFocus();
    std::vector<QWidget*> walked;
    for (size_t i = 0; i < expected.size(); ++i) {
        walked.push_back(QApplication::focusWidget());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(QApplication::focusWidget(), expected.front()) << "Tab comes round to the tabs again";
    // Shift+Tab walks the same stops backwards: a radio group is entered at its checked button from
    // either side, and never holds the focus.
    std::vector<QWidget*> walkedBack;
    for (size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        walkedBack.insert(walkedBack.begin(), QApplication::focusWidget());
    }
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(walked[i], expected[i])
            << "stop " << i << ": " << (walked[i] ? walked[i]->objectName().toStdString() : "none") << " instead of "
            << expected[i]->objectName().toStdString();
        EXPECT_EQ(walkedBack[i], expected[i])
            << "back, stop " << i << ": " << (walkedBack[i] ? walkedBack[i]->objectName().toStdString() : "none")
            << " instead of " << expected[i]->objectName().toStdString();
    }

    for (QLabel* pLabel : pPage->findChildren<QLabel*>()) {
        const QString text = pLabel->text();
        const int nAmp = text.indexOf('&');
        if (nAmp < 0 || nAmp + 1 >= text.size() || !pLabel->buddy() || !pLabel->isVisible())
            continue;
        const Qt::Key key = static_cast<Qt::Key>(text.at(nAmp + 1).toUpper().unicode());
        bool bReached = false;
        for (int n = 0; n < 4 && !bReached; ++n) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : pDialog, key, Qt::AltModifier);
            bReached = QApplication::focusWidget() == pLabel->buddy();
        }
        EXPECT_TRUE(bReached) << "Alt+" << text.at(nAmp + 1).toLatin1() << " does not reach the box of "
                              << text.toStdString();
    }
    // Apply is grey on a page nobody changed, so its Alt+A finds no button.
    if (auto* pEdit = pPage->findChild<QLineEdit*>(); pEdit && pEdit->isEnabled() && pEdit->isVisible()) {
        pEdit->setFocus();
        const QString before = pEdit->text();
        QTest::keyClick(pEdit, Qt::Key_A, Qt::AltModifier);
        EXPECT_EQ(pEdit->text(), before) << "Alt+A typed into a box";
    }
}

} // namespace

TEST(PageLayout, EveryPageFitsItsControlsAndTheKeyboardReachesThem)
{
    CScratchDrive drive;
    const std::string demo = std::string(DPF_DEMO_DRIVE_DIR) + "/System/Configuration/";
    LoadDrive(drive, ReadFileBytes(demo + "Configuration.xml"), ReadFileBytes(demo + "scan.xml"));
    // Studio Annex has the second button of both its radio groups checked (Hex Key, Static IP).
    CPropPageNetwork network, studio, available;
    network.SetPageTitle("Configured Networks::Hendriksen Home");
    studio.SetPageTitle("Configured Networks::Studio Annex");
    available.SetPageTitle("Available Networks::Neighbour 5G");
    CPropPageEmail email;
    CPropPageAddressBook addressBook;
    CPropPageInternetSharing internetSharing;
    CPropPagePCSharing pcSharing;
    const std::vector<CPropertyPage*> pages = {&network,     &studio,          &available, &email,
                                               &addressBook, &internetSharing, &pcSharing};
    RunSheet(pages, [&](CPropertySheet& sheet) {
        for (CPropertyPage* pPage : pages) {
            ASSERT_TRUE(sheet.SetActivePage(pPage));
            SCOPED_TRACE(sheet.GetTabControl()->GetItemText(sheet.GetActiveIndex()).Bytes());
            ExpectNothingOutsideOrOverlapping(pPage->GetSafeHwnd());
            ExpectKeyboardReachesEverything(sheet.GetSafeHwnd(), pPage->GetSafeHwnd());
        }
        PressSheetButton(sheet, IDCANCEL);
    });
}
