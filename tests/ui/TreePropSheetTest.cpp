#include "ui/TreePropSheet.h"

#include "TestSupport.h"
#include "app/KestrovaConfigToolApp.h"
#include "res/Resource.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

using TreePropSheet::CTreePropSheet;

namespace {

// Exposes the sheet's inner operations to the tests.
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

std::pair<std::string, std::string> Split(const char* pszTitle)
{
    CString strRest(pszTitle);
    const CString strFirst = CTestSheet::SplitTitlePath(strRest);
    return {strFirst.Bytes(), strRest.Bytes()};
}

// The tree as text: one line per item, indented by depth, "text=data".
std::string Describe(CTreeCtrl* pTree, HTREEITEM hItem = TVI_ROOT, int nDepth = 0)
{
    std::string text;
    for (HTREEITEM h = hItem == TVI_ROOT ? pTree->GetRootItem() : hItem; h; h = pTree->GetNextSiblingItem(h)) {
        text += std::string(static_cast<size_t>(2 * nDepth), ' ') + pTree->GetItemText(h).Bytes() + "=" +
                std::to_string(static_cast<int>(pTree->GetItemData(h))) + (pTree->IsExpanded(h) ? "+" : "") + "\n";
        if (pTree->ItemHasChildren(h))
            text += Describe(pTree, pTree->GetChildItem(h), nDepth + 1);
    }
    return text;
}

HTREEITEM FindItem(CTreeCtrl* pTree, const char* pszText, HTREEITEM hItem = TVI_ROOT)
{
    for (HTREEITEM h = hItem == TVI_ROOT ? pTree->GetRootItem() : hItem; h; h = pTree->GetNextSiblingItem(h)) {
        if (pTree->GetItemText(h) == pszText)
            return h;
        if (HTREEITEM hFound = pTree->ItemHasChildren(h) ? FindItem(pTree, pszText, pTree->GetChildItem(h)) : nullptr)
            return hFound;
    }
    return nullptr;
}

void PressInSheet(CPropertySheet& sheet, Qt::KeyboardModifiers modifiers)
{
    QWidget* pDialog = sheet.GetSafeHwnd();
    pDialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(pDialog));
    QWidget* pFocus = QApplication::focusWidget() ? QApplication::focusWidget() : pDialog;
    QTest::keyClick(pFocus, Qt::Key_Tab, modifiers);
}

} // namespace

TEST(TreePropSheet, TitlePathsSplitAtUnescapedSeparators)
{
    using P = std::pair<std::string, std::string>;
    EXPECT_EQ(Split("Email"), (P{"Email", ""}));
    EXPECT_EQ(Split("Configured Networks::Home"), (P{"Configured Networks", "Home"}));
    EXPECT_EQ(Split("A\\::B::C"), (P{"A::B", "C"})) << "an escaped separator in a middle segment";
    EXPECT_EQ(Split("B\\::C"), (P{"B\\::C", ""})) << "the last segment keeps its backslash";
    EXPECT_EQ(Split("A\\\\::B"), (P{"A\\", "B"})) << "two backslashes leave one and still separate";
    EXPECT_EQ(Split("A\\\\\\::B::C"), (P{"A\\::B", "C"})) << "three backslashes: one escaped, one escaping";
    EXPECT_EQ(Split("Configured Networks::"), (P{"Configured Networks", ""}));
    EXPECT_EQ(Split("::Lead"), (P{"", "Lead"})) << "a leading separator opens an empty segment";
    EXPECT_EQ(Split("A::::B"), (P{"A", "::B"}));
    EXPECT_EQ(Split("::B"), (P{"", "B"}));
    EXPECT_EQ(Split("::"), (P{"", ""}));
    EXPECT_EQ(Split("A:::B"), (P{"A", ":B"}));
}

TEST(TreePropSheet, StartupTreeHasExpandedNetworkNodesThenTheFixedPages)
{
    CScratchDrive drive;
    const std::string folder = TestDataPath("startup-home-office");
    drive.WriteConfig(ReadFileBytes(folder + "/Configuration.xml"));
    drive.WriteScan(ReadFileBytes(folder + "/scan.xml"));
    RunApplication(drive, [](CPropertySheet& sheet) {
        auto& treeSheet = dynamic_cast<CTreePropSheet&>(sheet);
        CTreeCtrl* pTree = treeSheet.GetPageTree();
        ASSERT_NE(pTree, nullptr);
        EXPECT_EQ(Describe(pTree), "Configured Networks=-1+\n  Home=0+\n  Office=1+\n"
                                   "Available Networks=-1+\n  home=2+\n  Cafe=3+\n"
                                   "Email=4+\nAddress Book=5+\nInternet Content Sharing=6+\nPC Sharing=7+\n");
        int nImage = 0;
        int nSelected = 0;
        pTree->GetItemImage(pTree->GetRootItem(), nImage, nSelected);
        EXPECT_EQ(nImage, 0) << "a node shows the node picture (N-2 of two default pictures)";
        pTree->GetItemImage(FindItem(pTree, "Email"), nImage, nSelected);
        EXPECT_EQ(nImage, 1) << "a page without its own picture shows the default page picture";
        EXPECT_EQ(pTree->GetItemText(pTree->GetSelectedItem()), "Home");
        EXPECT_EQ(treeSheet.GetTabControl()->IsWindowVisible(), FALSE);
        // Proportions: the tree is at least 195 pixels wide (more where an item needs it), with a gap
        // of 5 before the frame.
        const CRect tree = pTree->GetWindowRect();
        const CRect frame = treeSheet.GetPageFrame()->GetFrameWnd()->GetWindowRect();
        EXPECT_GE(tree.Width(), 195);
        EXPECT_EQ(frame.left - tree.right, 5);
        EXPECT_EQ(frame.top, tree.top);
        EXPECT_EQ(treeSheet.GetPageFrame()->GetCaptionHeight(), CTabCtrl::MeasureHeaderHeight(&sheet));
        const int nPageTop = sheet.GetActivePage()->GetSafeHwnd()->mapTo(sheet.GetSafeHwnd(), QPoint(0, 0)).y();
        EXPECT_GE(nPageTop, frame.top + treeSheet.GetPageFrame()->GetCaptionHeight()) << "the caption never covers the page";
        PressSheetButton(sheet, IDCANCEL);
    });
}

TEST(TreePropSheet, SameTitlesGetAnItemEachAndSegmentsMatchCaseSensitively)
{
    CTitledPage a("Net::a");
    CTitledPage b("net::b");
    CTitledPage twin1("Twin");
    CTitledPage twin2("Twin");
    CTitledPage owner("Net");
    CTestSheet sheet("Test");
    for (CPropertyPage* p : std::vector<CPropertyPage*>{&a, &b, &twin1, &twin2, &owner})
        sheet.AddPage(p);
    sheet.SetTreeMode(TRUE, TRUE, FALSE);
    CModalScript script;
    script.Then([&](QDialog*) {
        EXPECT_EQ(Describe(sheet.GetPageTree()), "Net=4+\n  a=0+\nnet=-1+\n  b=1+\nTwin=2+\nTwin=3+\n")
            << "a page titled like a node takes the node over; two pages of one title are two items";
        // Each of the twins is reached through its own item.
        CTreeCtrl* pTree = sheet.GetPageTree();
        pTree->SelectItem(FindItem(pTree, "Twin"));
        EXPECT_EQ(sheet.GetActiveIndex(), 2);
        sheet.SetActivePage(3);
        EXPECT_NE(pTree->GetSelectedItem(), FindItem(pTree, "Twin"));
        EXPECT_EQ(pTree->GetItemText(pTree->GetSelectedItem()), CString("Twin"));
        // Adding and removing pages rebuilds the tree at once.
        CTitledPage late("Late::x");
        sheet.AddPage(&late);
        EXPECT_NE(FindItem(sheet.GetPageTree(), "Late"), nullptr);
        sheet.RemovePage(&late);
        EXPECT_EQ(FindItem(sheet.GetPageTree(), "Late"), nullptr);
        PressSheetButton(sheet, IDCANCEL);
    });
    sheet.DoModal();
}

TEST(TreePropSheet, NodeWithoutAPageHidesThePageAndShowsTheTextUnlessThePageRefuses)
{
    CTitledPage a("Group::A");
    CTitledPage b("Group::B");
    CTestSheet sheet("Test");
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.SetTreeMode(TRUE, TRUE, FALSE);
    sheet.SetEmptyPageFormat("Please select a child item of '%s'.");
    CModalScript script;
    script.Then([&](QDialog*) {
        CTreeCtrl* pTree = sheet.GetPageTree();
        auto* pFrame = sheet.GetPageFrame();
        HTREEITEM hGroup = pTree->GetRootItem();
        a.m_bRefuse = TRUE;
        pTree->SelectItem(hGroup);
        EXPECT_EQ(pTree->GetItemText(pTree->GetSelectedItem()), "A") << "a page that will not be left keeps the selection";
        EXPECT_TRUE(a.IsWindowVisible());
        a.m_bRefuse = FALSE;
        pTree->SelectItem(hGroup);
        EXPECT_EQ(pTree->GetSelectedItem(), hGroup);
        EXPECT_FALSE(a.IsWindowVisible());
        EXPECT_EQ(sheet.GetActiveIndex(), 0) << "the current page only hides";
        EXPECT_EQ(pFrame->GetMessageText(), "Please select a child item of 'Group'.");
        // The text is really drawn: the frame's message area holds text-coloured pixels.
        const QImage image = pFrame->GetFrameWnd()->GetSafeHwnd()->grab().toImage();
        const CRect message = pFrame->CalcMessageRect();
        int nDark = 0;
        for (int x = message.left; x < message.right; ++x)
            nDark += qGray(image.pixel(x, (message.top + message.bottom) / 2 - 2)) < 128 ? 1 : 0;
        EXPECT_GT(nDark, 10);
        // Choosing a page again shows it.
        pTree->SelectItem(FindItem(pTree, "B"));
        EXPECT_TRUE(b.IsWindowVisible());
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        // With an empty format nothing is drawn.
        sheet.SetEmptyPageFormat("");
        pTree->SelectItem(hGroup);
        EXPECT_EQ(pFrame->GetMessageText(), "");
        PressSheetButton(sheet, IDCANCEL);
    });
    sheet.DoModal();
}

TEST(TreePropSheet, CtrlTabWalksTheTreeWithWrapAround)
{
    CTitledPage a("Group::A");
    CTitledPage b("Group::Sub::B");
    CTitledPage c("Last");
    CTestSheet sheet("Test");
    sheet.AddPage(&a);
    sheet.AddPage(&b);
    sheet.AddPage(&c);
    sheet.SetTreeMode(TRUE, TRUE, FALSE);
    sheet.SetActivePage(2);
    CModalScript script;
    script.Then([&](QDialog*) {
        CTreeCtrl* pTree = sheet.GetPageTree();
        auto selected = [pTree]() { return pTree->GetItemText(pTree->GetSelectedItem()).Bytes(); };
        EXPECT_EQ(selected(), "Last");
        PressInSheet(sheet, Qt::ControlModifier);
        EXPECT_EQ(selected(), "Group") << "from the last item to the first root item";
        PressInSheet(sheet, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(selected(), "Last") << "from the first root item to the deepest last item";
        PressInSheet(sheet, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(selected(), "B");
        PressInSheet(sheet, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(selected(), "Sub");
        PressInSheet(sheet, Qt::ControlModifier);
        EXPECT_EQ(selected(), "B");
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        PressSheetButton(sheet, IDCANCEL);
    });
    sheet.DoModal();
}

TEST(TreePropSheet, SettersRefuseOnceTheWindowExists)
{
    CTitledPage a("A");
    CTestSheet sheet("Test");
    sheet.AddPage(&a);
    EXPECT_TRUE(sheet.SetTreeMode(FALSE, TRUE, TRUE));
    EXPECT_TRUE(sheet.SetTreeMode(TRUE, FALSE, FALSE));
    EXPECT_TRUE(sheet.SetPageTreeWidth(180));
    CImageList three;
    three.Create(16, 16, ILC_COLOR32, 0, 1);
    EXPECT_FALSE(sheet.SetDefaultTreeImages(&three)) << "no pictures";
    CImageList two;
    ASSERT_TRUE(two.Create(130, 16, 0, RGB(0, 128, 128)));
    EXPECT_EQ(two.GetImageCount(), 2);
    EXPECT_TRUE(sheet.SetDefaultTreeImages(&two));
    CModalScript script;
    script.Then([&](QDialog*) {
        EXPECT_FALSE(sheet.SetTreeMode(TRUE, TRUE, TRUE));
        EXPECT_FALSE(sheet.SetPageTreeWidth(300));
        EXPECT_TRUE(sheet.SetDefaultTreeImages(&two));
        EXPECT_EQ(sheet.GetPageTree()->GetWindowRect().Width(), 175);
        EXPECT_FALSE(sheet.GetPageFrame()->IsCaptionShown());
        PressSheetButton(sheet, IDCANCEL);
    });
    sheet.DoModal();
}

TEST(TreePropSheet, WithoutCaptionTheSheetIsShorterByTheCaptionAndKeepsItsMiddle)
{
    CRect withCaption;
    CRect without;
    for (BOOL bCaption : {TRUE, FALSE}) {
        CTitledPage a("A");
        CTestSheet sheet("Test");
        sheet.AddPage(&a);
        sheet.SetTreeMode(TRUE, bCaption, FALSE);
        CModalScript script;
        script.Then([&](QDialog*) {
            (bCaption ? withCaption : without) = sheet.GetWindowRect();
            PressSheetButton(sheet, IDCANCEL);
        });
        sheet.DoModal();
    }
    const int H = CTabCtrl::MeasureHeaderHeight(nullptr);
    EXPECT_EQ(withCaption.Height() - without.Height(), H);
    EXPECT_EQ(without.top - withCaption.top, H / 2);
    EXPECT_EQ(withCaption.Width(), without.Width());
}
