// Every page, shown in the sheet as the user sees it: nothing clipped, nothing overlapping. With
// DPF_SCREENSHOT_DIR set, each page is also saved as a picture there for a person to look at.

#include "TestSupport.h"
#include "app/ConfigDocument.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPageNetwork.h"
#include "pages/PropPagePCSharing.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

void ExpectNothingClippedOrOverlapping(QWidget* pPage)
{
    const auto widgets = pPage->findChildren<QWidget*>();
    for (QWidget* pWidget : widgets) {
        if (!pWidget->isVisible())
            continue;
        const QString name = pWidget->objectName();
        if (qobject_cast<QLabel*>(pWidget) || qobject_cast<QAbstractButton*>(pWidget)) {
            EXPECT_GE(pWidget->width(), pWidget->minimumSizeHint().width()) << name.toStdString() << " is cut";
            EXPECT_GE(pWidget->height(), pWidget->minimumSizeHint().height()) << name.toStdString() << " is cut";
        }
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
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(walked[i], expected[i])
            << "stop " << i << ": " << (walked[i] ? walked[i]->metaObject()->className() : "none") << " instead of "
            << expected[i]->metaObject()->className();
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

TEST(PageLayout, EveryPageFitsItsControlsAndCanBeLookedAt)
{
    CScratchDrive drive;
    const std::string demo = std::string(DPF_DEMO_DRIVE_DIR) + "/System/Configuration/";
    LoadDrive(drive, ReadFileBytes(demo + "Configuration.xml"), ReadFileBytes(demo + "scan.xml"));

    CPropPageNetwork network;
    network.SetPageTitle("Configured Networks::Hendriksen Home");
    CPropPageNetwork available;
    available.SetPageTitle("Available Networks::Neighbour 5G");
    CPropPageEmail email;
    CPropPageAddressBook addressBook;
    CPropPageInternetSharing internetSharing;
    CPropPagePCSharing pcSharing;
    const std::vector<std::pair<CPropertyPage*, const char*>> pages = {{&network, "page-network-configured"},
                                                                       {&available, "page-network-available"},
                                                                       {&email, "page-email"},
                                                                       {&addressBook, "page-address-book"},
                                                                       {&internetSharing, "page-internet-sharing"},
                                                                       {&pcSharing, "page-pc-sharing"}};

    std::vector<CPropertyPage*> all;
    for (const auto& page : pages)
        all.push_back(page.first);
    RunSheet(all, [&](CPropertySheet& sheet) {
        for (const auto& page : pages) {
            SCOPED_TRACE(page.second);
            ASSERT_TRUE(sheet.SetActivePage(page.first));
            QWidget* pPage = page.first->GetSafeHwnd();
            ExpectNothingClippedOrOverlapping(pPage);
            ExpectKeyboardReachesEverything(sheet.GetSafeHwnd(), pPage);
            if (const char* pszDir = std::getenv("DPF_SCREENSHOT_DIR"))
                sheet.GetSafeHwnd()->grab().save(QString(pszDir) + "/" + page.second + ".png");
        }
        PressSheetButton(sheet, IDCANCEL);
    });
}
