#include "ui/TreePropSheet.h"

#include "TestSupport.h"
#include "app/KestrovaConfigToolApp.h"
#include "res/Resource.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

using TreePropSheet::CTreePropSheet;

namespace {

class CTestSheet : public CTreePropSheet
{
public:
    using CTreePropSheet::CTreePropSheet;
    using CTreePropSheet::SplitTitlePath;
};

class CTitledPage : public CPropertyPage
{
public:
    explicit CTitledPage(const char* pszTitle) : CPropertyPage(IDD_EMAIL), m_strTitle(pszTitle)
    {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_strTitle;
    }
    BOOL OnKillActive() override { return m_bRefuse ? FALSE : CPropertyPage::OnKillActive(); }
    BOOL m_bRefuse = FALSE;

private:
    CString m_strTitle;
};

QTreeWidget* Tree(CPropertySheet& sheet)
{
    return sheet.GetSafeHwnd()->findChild<QTreeWidget*>();
}

// The tree as the user sees it: one line per item, indented by depth, "+" for an expanded node.
std::string Describe(QTreeWidgetItem* pParent, int nDepth = 0)
{
    std::string text;
    for (int i = 0; i < pParent->childCount(); ++i) {
        QTreeWidgetItem* p = pParent->child(i);
        text += std::string(static_cast<size_t>(2 * nDepth), ' ') + p->text(0).toStdString()
            + (p->childCount() && p->isExpanded() ? "+" : "") + "\n" + Describe(p, nDepth + 1);
    }
    return text;
}

// Clicks the nth item of that text, as the user does.
void ClickItem(CPropertySheet& sheet, const char* pszText, int nNth = 0)
{
    QTreeWidget* pTree = Tree(sheet);
    const auto items = pTree->findItems(pszText, Qt::MatchExactly | Qt::MatchCaseSensitive | Qt::MatchRecursive);
    ASSERT_GT(items.size(), nNth) << pszText;
    QTest::mouseClick(pTree->viewport(), Qt::LeftButton, {}, pTree->visualItemRect(items[nNth]).center());
}

std::string Selected(CPropertySheet& sheet)
{
    return Tree(sheet)->currentItem()->text(0).toStdString();
}

void PressInSheet(CPropertySheet& sheet, Qt::KeyboardModifiers modifiers)
{
    QWidget* pDialog = sheet.GetSafeHwnd();
    pDialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pDialog));
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : pDialog, Qt::Key_Tab, modifiers);
}

// Runs a tree sheet of pages titled so; act runs inside its modal loop and must close it.
void RunTreeSheet(const std::vector<const char*>& titles,
                  const std::function<void(CTestSheet&, std::vector<CTitledPage*>&)>& act, int nStartPage = 0)
{
    std::vector<std::unique_ptr<CTitledPage>> pages;
    std::vector<CTitledPage*> raw;
    CTestSheet sheet("Test");
    for (const char* pszTitle : titles) {
        pages.push_back(std::make_unique<CTitledPage>(pszTitle));
        raw.push_back(pages.back().get());
        sheet.AddPage(raw.back());
    }
    sheet.SetTreeMode(TRUE, TRUE, FALSE);
    sheet.SetActivePage(nStartPage);
    CModalScript script;
    script.Then([&](QDialog*) { act(sheet, raw); });
    sheet.DoModal();
}

} // namespace

TEST(TreePropSheet, TitlePathsSplitAtUnescapedSeparators)
{
    const std::vector<std::array<const char*, 3>> cases = {
        {"Configured Networks::Home", "Configured Networks", "Home"},
        {"A\\::B::C", "A::B", "C"}, // an escaped separator in a middle segment
        {"B\\::C", "B\\::C", ""}, // the last segment keeps its backslash
        {"A\\\\::B", "A\\", "B"}, // two backslashes leave one and still separate
        {"A\\\\\\::B::C", "A\\::B", "C"}, // one escaped, one escaping
        {"::Lead", "", "Lead"},
        {"A:::B", "A", ":B"},
    };
    for (const auto& c : cases) {
        CString strRest(c[0]);
        EXPECT_EQ(CTestSheet::SplitTitlePath(strRest), c[1]) << c[0];
        EXPECT_EQ(strRest, c[2]) << c[0];
    }
}

TEST(TreePropSheet, StartupTreeHasExpandedNetworkNodesThenTheFixedPagesAndTheCaptionNeverCoversThePage)
{
    CScratchDrive drive;
    const std::string folder = TestDataPath("startup-home-office");
    drive.WriteConfig(ReadFileBytes(folder + "/Configuration.xml"));
    drive.WriteScan(ReadFileBytes(folder + "/scan.xml"));
    RunApplication(drive, [](CPropertySheet& sheet) {
        QTreeWidget* pTree = Tree(sheet);
        ASSERT_NE(pTree, nullptr);
        EXPECT_EQ(Describe(pTree->invisibleRootItem()),
                  "Configured Networks+\n  Home\n  Office\n"
                  "Available Networks+\n  home\n  Cafe\n"
                  "Email\nAddress Book\nInternet Content Sharing\nPC Sharing\n");
        // A node and a page show the two different default pictures.
        const QImage node = pTree->topLevelItem(0)->icon(0).pixmap(16).toImage();
        const QImage page = pTree->topLevelItem(2)->icon(0).pixmap(16).toImage();
        EXPECT_FALSE(node.isNull());
        EXPECT_FALSE(page.isNull());
        EXPECT_NE(node, page);
        EXPECT_EQ(Selected(sheet), "Home");
        EXPECT_FALSE(sheet.GetTabControl()->IsWindowVisible());
        const CRect frame = sheet.GetDlgItem(TreePropSheet::IDC_PAGE_FRAME)->GetWindowRect();
        const int nPageTop = sheet.GetActivePage()->GetSafeHwnd()->mapTo(sheet.GetSafeHwnd(), QPoint(0, 0)).y();
        EXPECT_GE(nPageTop, frame.top + CTabCtrl::MeasureHeaderHeight(&sheet)) << "the caption never covers the page";
        PressSheetButton(sheet, IDCANCEL);
    });
}

TEST(TreePropSheet, SameTitlesGetAnItemEachSegmentsMatchCaseSensitivelyAndAddedPagesJoinTheTree)
{
    CTitledPage late("Late::x"); // outlives the sheet it joins
    RunTreeSheet({"Net::a", "net::b", "Twin", "Twin", "Net"}, [&](CTestSheet& sheet, std::vector<CTitledPage*>&) {
        EXPECT_EQ(Describe(Tree(sheet)->invisibleRootItem()), "Net+\n  a\nnet+\n  b\nTwin\nTwin\n")
            << "a page titled like a node takes the node over; two pages of one title are two items";
        ClickItem(sheet, "Twin", 1);
        EXPECT_EQ(sheet.GetActiveIndex(), 3);
        ClickItem(sheet, "Net");
        EXPECT_EQ(sheet.GetActiveIndex(), 4);
        sheet.AddPage(&late);
        ClickItem(sheet, "x");
        EXPECT_EQ(sheet.GetActiveIndex(), 5);
        PressSheetButton(sheet, IDCANCEL);
    });
}

TEST(TreePropSheet, NodeWithoutAPageHidesThePageAndShowsTheTextUnlessThePageRefuses)
{
    // Dark pixels in the frame below its caption: the drawn message.
    auto messagePixels = [](CPropertySheet& sheet) {
        const QImage image = sheet.GetDlgItem(TreePropSheet::IDC_PAGE_FRAME)->GetSafeHwnd()->grab().toImage();
        int nDark = 0;
        for (int y = image.height() / 3; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                nDark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        return nDark;
    };
    RunTreeSheet({"Group::A", "Group::B"}, [&](CTestSheet& sheet, std::vector<CTitledPage*>& pages) {
        sheet.SetEmptyPageFormat("Please select a child item of '%s'.");
        pages[0]->m_bRefuse = TRUE;
        ClickItem(sheet, "Group");
        EXPECT_EQ(Selected(sheet), "A") << "a page that will not be left keeps the selection";
        EXPECT_TRUE(pages[0]->IsWindowVisible());
        pages[0]->m_bRefuse = FALSE;
        ClickItem(sheet, "Group");
        EXPECT_EQ(Selected(sheet), "Group");
        EXPECT_FALSE(pages[0]->IsWindowVisible());
        EXPECT_EQ(sheet.GetActiveIndex(), 0) << "the current page only hides";
        EXPECT_GT(messagePixels(sheet), 10);
        ClickItem(sheet, "B");
        EXPECT_TRUE(pages[1]->IsWindowVisible());
        sheet.SetEmptyPageFormat("");
        ClickItem(sheet, "Group");
        EXPECT_EQ(messagePixels(sheet), 0) << "an empty format draws nothing";
        PressSheetButton(sheet, IDCANCEL);
    });
}

TEST(TreePropSheet, CtrlTabWalksTheTreeWithWrapAround)
{
    RunTreeSheet(
        {"Group::A", "Group::Sub::B", "Last"},
        [](CTestSheet& sheet, std::vector<CTitledPage*>&) {
            EXPECT_EQ(Selected(sheet), "Last");
            PressInSheet(sheet, Qt::ControlModifier);
            EXPECT_EQ(Selected(sheet), "Group") << "from the last item to the first root item";
            for (const char* pszBack : {"Last", "B", "Sub"}) {
                PressInSheet(sheet, Qt::ControlModifier | Qt::ShiftModifier);
                EXPECT_EQ(Selected(sheet), pszBack) << "back from the first root item to the deepest last item";
            }
            PressInSheet(sheet, Qt::ControlModifier);
            EXPECT_EQ(Selected(sheet), "B");
            EXPECT_EQ(sheet.GetActiveIndex(), 1);
            PressSheetButton(sheet, IDCANCEL);
        },
        2);
}

TEST(TreePropSheet, SettersRefuseOnceTheWindowExistsAndDefaultImagesMustBeTwo)
{
    CImageList none;
    none.Create(16, 16, ILC_COLOR32, 0, 1);
    CImageList two;
    ASSERT_TRUE(two.Create(130, 16, 0, RGB(0, 128, 128)));
    CTestSheet unshown("Test");
    EXPECT_FALSE(unshown.SetDefaultTreeImages(&none));
    EXPECT_TRUE(unshown.SetDefaultTreeImages(&two));
    RunTreeSheet({"A"}, [&](CTestSheet& sheet, std::vector<CTitledPage*>&) {
        EXPECT_FALSE(sheet.SetTreeMode(TRUE, TRUE, TRUE));
        EXPECT_FALSE(sheet.SetPageTreeWidth(300));
        EXPECT_TRUE(sheet.SetDefaultTreeImages(&two));
        PressSheetButton(sheet, IDCANCEL);
    });
}
