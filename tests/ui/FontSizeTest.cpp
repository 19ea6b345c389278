// The editor's window at the desktop's font and at a 13-point one (and, run by scripts/screenshots.sh,
// at QT_SCALE_FACTOR=2): no label, button or tree item is cut, the window fits a 1280 x 1024 screen,
// and it grows with its lists. With DPF_SCREENSHOT_DIR set, every page is saved there as a picture.

#include "TestSupport.h"
#include "platform/PropertySheet.h"
#include "platform/TreeCtrl.h"
#include "ui/TreePropSheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTreeWidget>

#include <gtest/gtest.h>

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

class CDesktopFont
{
public:
    explicit CDesktopFont(int nPoints) : m_saved(QApplication::font())
    {
        if (nPoints > 0) {
            QFont font = m_saved;
            font.setPointSize(nPoints);
            QApplication::setFont(font);
        }
    }
    ~CDesktopFont() { QApplication::setFont(m_saved); }

private:
    QFont m_saved;
};

class FontSizeTest : public ::testing::TestWithParam<int>
{};

} // namespace

TEST_P(FontSizeTest, NoTextIsCutOnAnyPageTheWindowFitsTheScreenAndGrowsWithItsLists)
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
