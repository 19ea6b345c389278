// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TreePropSheet.h"

#include "TestSupport.h"
#include "app/KestrovaConfigToolApp.h"
#include "res/Resource.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <functional>

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
    BOOL OnKillActive() override { return !m_bRefuse && CPropertyPage::OnKillActive(); }
    bool m_bRefuse = false;

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

// The colour of a widget's left edge, halfway down, as painted now.
QColor EdgeColour(QWidget* pWidget)
{
    QApplication::processEvents();
    const QImage image = pWidget->grab().toImage();
    return image.pixelColor(0, image.height() / 2);
}

std::string Selected(CPropertySheet& sheet)
{
    return Tree(sheet)->currentItem()->text(0).toStdString();
}

// Runs a tree sheet of pages titled so; act runs inside its modal loop and must close it.
void RunTreeSheet(const std::vector<const char*>& titles,
                  const std::function<void(CTestSheet&, std::deque<CTitledPage>&)>& act, int nStartPage = 0)
{
    std::deque<CTitledPage> pages;
    CTestSheet sheet("Test");
    for (const char* pszTitle : titles)
        sheet.AddPage(&pages.emplace_back(pszTitle));
    sheet.SetTreeMode(TRUE, TRUE, FALSE);
    sheet.SetActivePage(nStartPage);
    CModalScript script;
    script.Then([&](QDialog*) { act(sheet, pages); });
    sheet.DoModal();
}

} // namespace

TEST(TreePropSheet, TitlePathsSplitAtUnescapedSeparators)
{
    // "\::" is a separator kept in the text, but only before the last one; "\\" is one backslash.
    const std::vector<std::array<const char*, 3>> cases = {{"Configured Networks::Home", "Configured Networks", "Home"},
                                                           {"A\\::B::C", "A::B", "C"},
                                                           {"B\\::C", "B\\::C", ""},
                                                           {"A\\\\::B", "A\\", "B"},
                                                           {"A\\\\\\::B::C", "A\\::B", "C"},
                                                           {"::Lead", "", "Lead"},
                                                           {"A:::B", "A", ":B"}};
    for (const auto& c : cases) {
        CString strRest(c[0]);
        EXPECT_EQ(CTestSheet::SplitTitlePath(strRest), c[1]) << c[0];
        EXPECT_EQ(strRest, c[2]) << c[0];
    }
}

TEST(TreePropSheet, StartupTreeHasExpandedNetworkNodesThenTheFixedPagesAndTheCaptionNeverCoversThePage)
{
    CScratchDrive drive;
    drive.WriteConfig(ReadFileBytes(TestDataPath("startup-home-office/Configuration.xml")));
    drive.WriteScan(ReadFileBytes(TestDataPath("startup-home-office/scan.xml")));
    RunApplication(drive, [](CPropertySheet& sheet) {
        QTreeWidget* pTree = Tree(sheet);
        ASSERT_NE(pTree, nullptr);
        EXPECT_EQ(Describe(pTree->invisibleRootItem()),
                  "Configured Networks+\n  Home\n  Office\nAvailable Networks+\n  home\n  Cafe\n"
                  "Email\nAddress Book\nInternet Content Sharing\nPC Sharing\n");
        // A node and a page show the two different default pictures.
        const QImage node = pTree->topLevelItem(0)->icon(0).pixmap(16).toImage();
        const QImage page = pTree->topLevelItem(2)->icon(0).pixmap(16).toImage();
        EXPECT_FALSE(node.isNull() || page.isNull());
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
    RunTreeSheet({"Net::a", "net::b", "Twin", "Twin", "Net"}, [&](CTestSheet& sheet, auto&) {
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
    RunTreeSheet({"Group::A", "Group::B"}, [&](CTestSheet& sheet, std::deque<CTitledPage>& pages) {
        sheet.SetEmptyPageFormat("Please select a child item of '%s'.");
        pages[0].m_bRefuse = true;
        ClickItem(sheet, "Group");
        EXPECT_EQ(Selected(sheet), "A") << "a page that will not be left keeps the selection";
        EXPECT_TRUE(pages[0].IsWindowVisible());
        pages[0].m_bRefuse = false;
        ClickItem(sheet, "Group");
        EXPECT_EQ(Selected(sheet), "Group");
        EXPECT_FALSE(pages[0].IsWindowVisible());
        EXPECT_EQ(sheet.GetActiveIndex(), 0) << "the current page only hides";
        EXPECT_GT(messagePixels(sheet), 10);
        ClickItem(sheet, "B");
        EXPECT_TRUE(pages[1].IsWindowVisible());
        EXPECT_EQ(messagePixels(sheet), 0) << "the message is gone once a page is shown";
        PressSheetButton(sheet, IDCANCEL);
    });
}

TEST(TreePropSheet, CtrlTabAndCtrlPageKeysWalkTheTreeWithWrapAround)
{
    const auto press = [](CPropertySheet& sheet, Qt::KeyboardModifiers modifiers, Qt::Key key = Qt::Key_Tab) {
        sheet.GetSafeHwnd()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet.GetSafeHwnd()));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : sheet.GetSafeHwnd(), key,
                        modifiers);
    };
    RunTreeSheet(
        {"Group::A", "Group::Sub::B", "Last"},
        [&](CTestSheet& sheet, auto&) {
            EXPECT_EQ(Selected(sheet), "Last");
            press(sheet, Qt::ControlModifier);
            EXPECT_EQ(Selected(sheet), "Group") << "from the last item to the first root item";
            for (const char* pszBack : {"Last", "B", "Sub"}) {
                press(sheet, Qt::ControlModifier | Qt::ShiftModifier);
                EXPECT_EQ(Selected(sheet), pszBack) << "back from the first root item to the deepest last item";
            }
            press(sheet, Qt::ControlModifier);
            EXPECT_EQ(Selected(sheet), "B");
            EXPECT_EQ(sheet.GetActiveIndex(), 1);
            // Ctrl+PgDn and Ctrl+PgUp page like Ctrl+Tab, also while the tree, which pages by them, has the focus.
            // The tree shows that it has the focus: its frame takes the selection's colour.
            sheet.GetDlgItem(IDOK)->GetSafeHwnd()->setFocus();
            const QColor unfocused = EdgeColour(Tree(sheet));
            Tree(sheet)->setFocus();
            const QColor focused = EdgeColour(Tree(sheet));
            EXPECT_GT(focused.blue(), focused.red() + 40) << focused.name().toStdString();
            EXPECT_LT(std::abs(unfocused.blue() - unfocused.red()), 20) << unfocused.name().toStdString();
            press(sheet, Qt::ControlModifier, Qt::Key_PageDown);
            EXPECT_EQ(Selected(sheet), "Last");
            press(sheet, Qt::ControlModifier, Qt::Key_PageUp);
            EXPECT_EQ(Selected(sheet), "B");
            PressSheetButton(sheet, IDCANCEL);
        },
        2);
}
