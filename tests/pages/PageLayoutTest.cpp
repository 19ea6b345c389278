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
#include <QTest>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

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

// Every enabled control that takes the keyboard is reached by Tab, and every label's mnemonic (Alt and
// its underlined letter, pressed again where two labels share the letter) reaches the label's box.
void ExpectKeyboardReachesEverything(QWidget* pDialog, QWidget* pPage)
{
    std::vector<QWidget*> controls;
    for (QWidget* pWidget : pPage->findChildren<QWidget*>()) {
        if (pWidget->isVisible() && pWidget->isEnabled() && (pWidget->focusPolicy() & Qt::TabFocus) && !pWidget->focusProxy())
            controls.push_back(pWidget);
    }
    std::set<QWidget*> reached;
    QWidget* pStart = controls.empty() ? nullptr : controls.front();
    QWidget* pWidget = pStart;
    for (int i = 0; pWidget && i < 500; ++i) {
        reached.insert(pWidget);
        pWidget = pWidget->nextInFocusChain();
        if (pWidget == pStart)
            break;
    }
    for (QWidget* pControl : controls)
        EXPECT_TRUE(reached.count(pControl)) << pControl->objectName().toStdString() << " cannot be reached with Tab";

    pDialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pDialog));
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
        EXPECT_TRUE(bReached) << "Alt+" << text.at(nAmp + 1).toLatin1() << " does not reach the box of " << text.toStdString();
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
    const std::vector<std::pair<CPropertyPage*, const char*>> pages = {
        {&network, "page-network-configured"}, {&available, "page-network-available"}, {&email, "page-email"}, {&addressBook, "page-address-book"},
        {&internetSharing, "page-internet-sharing"}, {&pcSharing, "page-pc-sharing"}};

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
