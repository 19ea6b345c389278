#include "ui/ReportCtrl.h"

#include "TestSupport.h"

#include <QHeaderView>
#include <QImage>
#include <QLocale>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A window that hosts the list and hears what the list tells its parent.
class CHost : public CWnd
{
public:
    CHost()
    {
        auto* pWidget = new QWidget;
        pWidget->resize(500, 400);
        AdoptWindow(pWidget);
    }
    std::vector<std::pair<WPARAM, LPARAM>> m_sorted;

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override
    {
        if (nMsg == WM_ITEM_SORTED)
            m_sorted.emplace_back(wParam, lParam);
        return CWnd::WindowProc(nMsg, wParam, lParam);
    }
};

class ReportCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const CRect rect(0, 0, 480, 380);
        ASSERT_TRUE(m_list.Create(&m_host, 1033, &rect));
        m_host.GetSafeHwnd()->show();
    }

    void Fill(const std::vector<std::string>& texts, const char* pszSpec = "Text, 120; Other, 80")
    {
        m_list.SetColumnHeader(pszSpec);
        for (size_t i = 0; i < texts.size(); ++i) {
            const int nRow = m_list.InsertItem(static_cast<int>(i), texts[i].c_str());
            m_list.SetItemText(nRow, 1, ("row" + std::to_string(i)).c_str());
        }
    }
    std::vector<std::string> Column(int nCol = 0) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            texts.push_back(m_list.GetItemText(i, nCol).Bytes());
        return texts;
    }
    QTableView* Table() const { return qobject_cast<QTableView*>(m_list.GetSafeHwnd()); }
    void ClickHeading(int nCol)
    {
        QHeaderView* pHeader = Table()->horizontalHeader();
        const int x = pHeader->sectionViewportPosition(nCol) + pHeader->sectionSize(nCol) / 2;
        QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, {}, QPoint(x, pHeader->height() / 2));
    }

    CHost m_host;
    CReportCtrl m_list;
};

using Texts = std::vector<std::string>;

} // namespace

TEST_F(ReportCtrlTest, ColumnSpecKeepsBlanksAndSkipsEmptyHeadings)
{
    const std::vector<std::pair<const char*, Texts>> cases = {
        {"First, 80; Last, 80; Address, 250", {"First", " Last", " Address"}},
        {"Heading", {"Heading"}},
        {"A,10,1;B,20,2;C,30,0", {"A", "B", "C"}},
        {"A, 50; ", {"A", " "}},
        {"A, 50;", {"A"}},
        {";;,", {}},
    };
    for (const auto& c : cases) {
        Fill({"a", "b"}, c.first);
        Texts headings;
        for (int i = 0; i < Table()->model()->columnCount(); ++i)
            headings.push_back(Table()->model()->headerData(i, Qt::Horizontal).toString().toStdString());
        EXPECT_EQ(headings, c.second) << c.first;
        EXPECT_EQ(m_list.GetItemCount(), c.second.empty() ? 0 : 2) << "a new spec empties the list first";
    }
}

TEST_F(ReportCtrlTest, CellsCompareAsHexThenDecimalThenDatesThenBytes)
{
    const QString shortDate1 = QLocale::system().toString(QDate(2025, 3, 1), QLocale::ShortFormat);
    const QString shortDate2 = QLocale::system().toString(QDate(2026, 2, 1), QLocale::ShortFormat);
    const std::vector<std::pair<Texts, int>> cases = {
        {{"9", "A"}, -1},
        {{"A", "10"}, -1},
        {{"Bead", "99"}, 1},
        {{"1.5", "2"}, -1},
        {{"2", "10%"}, -1},
        {{"10%", "10"}, 0},
        {{"2026-01-05", "2026-11-20"}, -1},
        {{"2026-12-06T14:30", "2026-12-06 09:15:00"}, 1},
        {{"Q", "a"}, -1},
        {{"B", "a"}, 1},
        {{"", "0"}, -1},
        {{"\xC3\xA9", "z"}, 1},
        {{shortDate1.toStdString(), shortDate2.toStdString()}, -1},
    };
    for (const auto& c : cases) {
        const int nCompare = CompareReportCells(c.first[0].c_str(), c.first[1].c_str());
        EXPECT_EQ((nCompare > 0) - (nCompare < 0), c.second) << c.first[0] << " against " << c.first[1];
    }
}

// The sort compares keys made once per cell; they must answer exactly as the texts do, for every
// pair, including the pairs where the comparison is not transitive ("9" < "A" < "10" < "9" as
// hexadecimal, then decimal), so that the order of a sort is the comparison's own.
TEST_F(ReportCtrlTest, SortKeysCompareExactlyAsTheirTextsOnRandomMixedCells)
{
    const QString shortDate = QLocale::system().toString(QDate(2025, 3, 1), QLocale::ShortFormat);
    std::vector<std::string> pieces = {"",
                                       "0",
                                       "9",
                                       "A",
                                       "10",
                                       "10%",
                                       "1.5",
                                       "-7",
                                       "Bead",
                                       "face",
                                       "nan",
                                       "inf",
                                       "1e3",
                                       " 12",
                                       "FFFFFFFFFF",
                                       "2026-01-05",
                                       "2026-12-06T14:30",
                                       "2026-12-06 09:15:00",
                                       "Ana Luc\xC3\xAD"
                                       "a",
                                       "Q",
                                       "a",
                                       "0x1F",
                                       shortDate.toStdString()};
    std::mt19937 random(7);
    std::vector<std::string> texts = pieces;
    for (int i = 0; i < 150; ++i)
        texts.push_back(pieces[random() % pieces.size()] + (random() % 2 ? std::to_string(random() % 100) : ""));
    std::vector<ReportSortKey> keys;
    for (const std::string& text : texts)
        keys.push_back(MakeReportSortKey(text.c_str()));
    for (size_t i = 0; i < texts.size(); ++i) {
        for (size_t j = 0; j < texts.size(); ++j) {
            ASSERT_EQ(CompareReportSortKeys(keys[i], keys[j]), CompareReportCells(texts[i].c_str(), texts[j].c_str()))
                << "'" << texts[i] << "' against '" << texts[j] << "'";
        }
    }
}

TEST_F(ReportCtrlTest, HeaderClicksSortBothWaysStablyAndTellTheParent)
{
    Fill({"10", "A", "9"});
    ClickHeading(0);
    EXPECT_EQ(Column(), (Texts{"9", "A", "10"})) << "the comparison's own order";
    // Equal cells keep the order they had, whichever the direction: two contacts of the same name
    // must not swap places in the file at every confirm.
    Fill({"b", "a", "b", "a", "b", "a"});
    ClickHeading(0);
    EXPECT_EQ(Column(1), (Texts{"row1", "row3", "row5", "row0", "row2", "row4"}));
    ClickHeading(0);
    EXPECT_EQ(Column(1), (Texts{"row0", "row2", "row4", "row1", "row3", "row5"}));
    ClickHeading(1);
    EXPECT_EQ(Column(1), (Texts{"row0", "row1", "row2", "row3", "row4", "row5"}));
    EXPECT_EQ(m_host.m_sorted, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 1}, {0, 1}, {0, 0}, {1, 1}}));
    // After a new row the list is no longer sorted: the next click starts ascending again.
    m_list.InsertItem(0, "new");
    m_list.SetItemText(0, 1, "row9");
    ClickHeading(1);
    EXPECT_EQ(Column(1).back(), "row9");
}

TEST_F(ReportCtrlTest, SelectionFocusAndRecordsFollowTheirRowsWhenSorted)
{
    Fill({"c", "a", "d", "b"});
    m_list.SetItemStates(0, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    m_list.SetItemStates(2, RC_ITEM_SELECTED);
    auto* pRecordC = reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(0));
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(1), (Texts{"row1", "row3", "row0", "row2"}));
    EXPECT_EQ(m_list.GetItemStates(2), static_cast<DWORD>(RC_ITEM_SELECTED | RC_ITEM_UNCHECKED | RC_ITEM_FOCUSED));
    EXPECT_EQ(m_list.GetItemStates(3), static_cast<DWORD>(RC_ITEM_SELECTED | RC_ITEM_UNCHECKED | RC_ITEM_UNFOCUSED));
    EXPECT_EQ(reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(2)), pRecordC);
}

TEST_F(ReportCtrlTest, CellsAreDrawnWithTheirRecordsColours)
{
    Fill({"x", "y"});
    auto* pRecord = reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(1));
    ASSERT_NE(pRecord, nullptr);
    pRecord->aBkColors[1] = RGB(200, 10, 30);
    const QRect cell = Table()->visualRect(Table()->model()->index(1, 1));
    const QImage image = Table()->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell.center() + QPoint(30, 0)), QColor(200, 10, 30));
}

TEST_F(ReportCtrlTest, StateFiltersFindAndDeleteTheMatchingRows)
{
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, -1), -1);
    Fill({"r0", "r1", "r2", "r3", "r4"});
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), -1);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, 3), 4);
    EXPECT_TRUE(m_list.SetItemStates(1, RC_ITEM_SELECTED));
    EXPECT_TRUE(m_list.SetItemStates(3, RC_ITEM_SELECTED | RC_ITEM_CHECKED));
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, 1), 3);
    EXPECT_FALSE(m_list.MatchItemStates(1, RC_ITEM_SELECTED | RC_ITEM_CHECKED));
    EXPECT_FALSE(m_list.MatchItemStates(1, 0));
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_UNCHECKED), 4);
    EXPECT_EQ(m_list.DeleteAllItems(RC_ITEM_SELECTED), 2);
    EXPECT_EQ(Column(), (Texts{"r0", "r2", "r4"}));
    EXPECT_TRUE(m_list.DeleteItem(0, TRUE));
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), 0) << "the following row is selected";
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_SELECTED), 1);
    EXPECT_FALSE(m_list.DeleteItem(5, TRUE));
}

TEST_F(ReportCtrlTest, SpaceInTheListChangesNothing)
{
    Fill({"r0", "r1", "r2"});
    m_list.SetItemStates(0, RC_ITEM_SELECTED);
    m_list.SetItemStates(2, RC_ITEM_FOCUSED);
    Table()->setFocus();
    QTest::keyClick(Table(), Qt::Key_Space);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), 0);
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_SELECTED), 1);
}

TEST_F(ReportCtrlTest, ColumnsAddedAndRemovedKeepOneColourPerCell)
{
    Fill({"r0", "r1"});
    EXPECT_EQ(m_list.InsertColumn(1, "Middle", LVCFMT_LEFT, 40), 1);
    auto* pRecord = reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(0));
    EXPECT_EQ(pRecord->aBkColors.size(), 3u);
    EXPECT_TRUE(m_list.DeleteColumn(0));
    EXPECT_EQ(reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(0)), pRecord)
        << "the record stays with its row";
    EXPECT_EQ(pRecord->aTextColors.size(), 2u);
}

TEST(ReportCtrlSubclass, TemplateListIsForcedIntoAReportViewWithRecordsFreedWithTheWindow)
{
    // A page's list, attached by subclassing as DDX_Control does, gone with the page window.
    class CPage : public CWnd
    {
    public:
        CPage()
        {
            auto* pWidget = new QWidget;
            auto* pTable = new QTableView(pWidget);
            pTable->setProperty("ctrlId", 1032);
            pTable->horizontalHeader()->setSectionsClickable(false);
            AdoptWindow(pWidget);
        }
        void Destroy() { DestroyWindow(); }
    } page;
    CReportCtrl list;
    page.SubclassDlgItem(1032, list);
    EXPECT_TRUE(list.IsSortable()) << "the header is made clickable";
    list.SetColumnHeader("A, 50");
    for (int i = 0; i < 100; ++i)
        list.InsertItem(0, "x");
    page.Destroy();
    EXPECT_EQ(list.GetSafeHwnd(), nullptr);
    // Leak checking at exit shows whether the hundred records were freed.
}
