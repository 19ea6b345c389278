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

struct ColumnSpec
{
    std::string heading;
    int nFormat;
    int nWidth;
    bool operator==(const ColumnSpec& o) const { return heading == o.heading && nFormat == o.nFormat && nWidth == o.nWidth; }
};

std::vector<ColumnSpec> Columns(const CReportCtrl& list)
{
    std::vector<ColumnSpec> columns;
    for (int i = 0; i < list.GetColumnCount(); ++i) {
        CString strHeading;
        int nFormat = -1;
        int nWidth = -1;
        EXPECT_TRUE(list.GetColumn(i, strHeading, nFormat, nWidth));
        columns.push_back({strHeading.Bytes(), nFormat, nWidth});
    }
    return columns;
}

} // namespace

TEST_F(ReportCtrlTest, ColumnSpecKeepsBlanksDefaultsTheWidthAndMapsItsFormatCodes)
{
    EXPECT_TRUE(m_list.SetColumnHeader("First, 80; Last, 80; Address, 250"));
    EXPECT_EQ(Columns(m_list), (std::vector<ColumnSpec>{{"First", LVCFMT_LEFT, 80}, {" Last", LVCFMT_LEFT, 80}, {" Address", LVCFMT_LEFT, 250}}));
    EXPECT_TRUE(m_list.SetColumnHeader("Address, 250"));
    EXPECT_EQ(Columns(m_list), (std::vector<ColumnSpec>{{"Address", LVCFMT_LEFT, 250}}));
    EXPECT_TRUE(m_list.SetColumnHeader("Heading"));
    EXPECT_EQ(Columns(m_list), (std::vector<ColumnSpec>{{"Heading", LVCFMT_LEFT, 100}}));
    EXPECT_TRUE(m_list.SetColumnHeader("A,10,1;B,20,2;C,30,0"));
    EXPECT_EQ(Columns(m_list), (std::vector<ColumnSpec>{{"A", LVCFMT_CENTER, 10}, {"B", LVCFMT_RIGHT, 20}, {"C", LVCFMT_LEFT, 30}}));
    EXPECT_TRUE(m_list.SetColumnHeader("A, 50; "));
    EXPECT_EQ(Columns(m_list), (std::vector<ColumnSpec>{{"A", LVCFMT_LEFT, 50}, {" ", LVCFMT_LEFT, 100}}));
    EXPECT_TRUE(m_list.SetColumnHeader("A, 50;"));
    EXPECT_EQ(Columns(m_list), (std::vector<ColumnSpec>{{"A", LVCFMT_LEFT, 50}}));
    EXPECT_FALSE(m_list.SetColumnHeader(";;,"));
    EXPECT_EQ(m_list.GetColumnCount(), 0);
}

TEST_F(ReportCtrlTest, NewColumnSpecEmptiesTheListAndFreesItsRecords)
{
    Fill({"a", "b", "c"});
    m_list.SetColumnHeader("Only, 100");
    EXPECT_EQ(m_list.GetItemCount(), 0);
    EXPECT_EQ(m_list.GetColumnCount(), 1);
}

TEST_F(ReportCtrlTest, CellsCompareAsHexThenDecimalThenDatesThenBytes)
{
    EXPECT_LT(CompareReportCells("9", "A"), 0);
    EXPECT_LT(CompareReportCells("A", "10"), 0);
    EXPECT_GT(CompareReportCells("Bead", "99"), 0) << "Bead is a hexadecimal number";
    EXPECT_LT(CompareReportCells("1.5", "2"), 0);
    EXPECT_LT(CompareReportCells("2", "10%"), 0);
    EXPECT_EQ(CompareReportCells("10%", "10"), 0);
    EXPECT_LT(CompareReportCells("2026-01-05", "2026-11-20"), 0);
    EXPECT_GT(CompareReportCells("2026-12-06T14:30", "2026-12-06 09:15:00"), 0);
    EXPECT_LT(CompareReportCells("Q", "a"), 0) << "byte-wise: capitals first";
    EXPECT_GT(CompareReportCells("B", "a"), 0) << "both hexadecimal: eleven after ten";
    EXPECT_LT(CompareReportCells("", "0"), 0) << "an empty text is no number";
    EXPECT_GT(CompareReportCells("\xC3\xA9", "z"), 0) << "bytes from 0x80 come after ASCII";
    EXPECT_NE(CompareReportCells("nan", "1"), 0) << "nan is a word, not a number";
    const QString shortDate1 = QLocale::system().toString(QDate(2025, 3, 1), QLocale::ShortFormat);
    const QString shortDate2 = QLocale::system().toString(QDate(2026, 2, 1), QLocale::ShortFormat);
    EXPECT_LT(CompareReportCells(shortDate1.toUtf8(), shortDate2.toUtf8()), 0) << shortDate1.toStdString();
}

// The sort compares keys made once per cell; they must answer exactly as the texts do, for every
// pair, including the pairs where the comparison is not transitive ("9" < "A" < "10" < "9" as
// hexadecimal, then decimal), so that the order of a sort is the comparison's own.
TEST_F(ReportCtrlTest, SortKeysCompareExactlyAsTheirTextsOnRandomMixedCells)
{
    const QString shortDate = QLocale::system().toString(QDate(2025, 3, 1), QLocale::ShortFormat);
    std::vector<std::string> pieces = {"", "0", "9", "A", "10", "10%", "1.5", "-7", "Bead", "face", "nan", "inf", "1e3",
                                       " 12", "FFFFFFFFFF", "2026-01-05", "2026-12-06T14:30", "2026-12-06 09:15:00",
                                       "Ana Luc\xC3\xAD" "a", "Q", "a", "0x1F", shortDate.toStdString()};
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

TEST_F(ReportCtrlTest, SortingOrdersRowsAsTheComparisonSaysInBothDirections)
{
    Fill({"10", "A", "9"});
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(), (Texts{"9", "A", "10"}));
    Fill({"10%", "2", "1.5"});
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(), (Texts{"1.5", "2", "10%"}));
    Fill({"2026-03-01", "1999-12-31", "2026-02-28T23:59"});
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(), (Texts{"1999-12-31", "2026-02-28T23:59", "2026-03-01"}));
    Fill({"mia", "Zed", "adam", "Adam"});
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(), (Texts{"Adam", "Zed", "adam", "mia"}));
    m_list.SortItems(0, FALSE);
    EXPECT_EQ(Column(), (Texts{"mia", "adam", "Zed", "Adam"}));
    EXPECT_EQ(m_list.GetSortedColumn(), 0);
    EXPECT_FALSE(m_list.IsSortAscending());
    // Equal cells keep the order they had, whichever the direction: two contacts of the same name
    // must not swap places in the file at every confirm.
    Fill({"b", "a", "b", "a", "b", "a", "b", "a"});
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(1), (Texts{"row1", "row3", "row5", "row7", "row0", "row2", "row4", "row6"}));
    m_list.SortItems(0, FALSE);
    EXPECT_EQ(Column(1), (Texts{"row0", "row2", "row4", "row6", "row1", "row3", "row5", "row7"}));
}

TEST_F(ReportCtrlTest, HeaderClicksSortToggleTheDirectionAndTellTheParent)
{
    Fill({"b", "c", "a"}, "Text, 120; Other, 80");
    ClickHeading(0);
    EXPECT_EQ(Column(), (Texts{"a", "b", "c"}));
    ClickHeading(0);
    EXPECT_EQ(Column(), (Texts{"c", "b", "a"}));
    ClickHeading(1);
    EXPECT_EQ(Column(1), (Texts{"row0", "row1", "row2"}));
    EXPECT_EQ(m_host.m_sorted, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 1}, {0, 0}, {1, 1}}));
    EXPECT_EQ(m_list.GetSortedColumn(), 1);
    m_list.InsertItem(0, "new");
    EXPECT_EQ(m_list.GetSortedColumn(), -1) << "a new row means the list is no longer sorted";
    ClickHeading(1);
    EXPECT_TRUE(m_list.IsSortAscending()) << "after a new row the next click starts ascending";
}

TEST_F(ReportCtrlTest, SelectionFocusAndRecordsFollowTheirRows)
{
    Fill({"c", "a", "d", "b"});
    m_list.SetItemStates(0, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    m_list.SetItemStates(2, RC_ITEM_SELECTED);
    auto* pRecordC = reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(0));
    pRecordC->aBkColors[1] = RGB(255, 0, 0);
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(), (Texts{"a", "b", "c", "d"}));
    EXPECT_EQ(Column(1), (Texts{"row1", "row3", "row0", "row2"}));
    EXPECT_EQ(m_list.GetItemStates(2), static_cast<DWORD>(RC_ITEM_SELECTED | RC_ITEM_UNCHECKED | RC_ITEM_FOCUSED));
    EXPECT_EQ(m_list.GetItemStates(3), static_cast<DWORD>(RC_ITEM_SELECTED | RC_ITEM_UNCHECKED | RC_ITEM_UNFOCUSED));
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_SELECTED), 2);
    EXPECT_EQ(reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(2)), pRecordC);
}

TEST_F(ReportCtrlTest, CellsAreDrawnWithTheirRecordsColours)
{
    Fill({"x", "y"});
    auto* pRecord = reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(1));
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->aBkColors[0], GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pRecord->aTextColors[1], GetSysColor(COLOR_WINDOWTEXT));
    pRecord->aBkColors[1] = RGB(200, 10, 30);
    const QRect cell = Table()->visualRect(Table()->model()->index(1, 1));
    const QImage image = Table()->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell.center() + QPoint(30, 0)), QColor(200, 10, 30));
    const QRect plain = Table()->visualRect(Table()->model()->index(1, 0));
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(image.pixelColor(plain.center() + QPoint(40, 0)), QColor(GetRValue(window), GetGValue(window), GetBValue(window)));
}

TEST_F(ReportCtrlTest, StateFiltersCountFindSetAndDelete)
{
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, -1), -1);
    Fill({"r0", "r1", "r2", "r3", "r4"});
    EXPECT_EQ(m_list.GetItemCount(0), 0);
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_ALL), 5);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), -1);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, -1), 0);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, 3), 4);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, -7), 0);
    EXPECT_FALSE(m_list.SetItemStates(1, 0));
    EXPECT_TRUE(m_list.SetItemStates(1, RC_ITEM_SELECTED));
    EXPECT_TRUE(m_list.SetItemStates(3, RC_ITEM_SELECTED | RC_ITEM_CHECKED));
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), 1);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, 1), 3);
    EXPECT_TRUE(m_list.MatchItemStates(3, RC_ITEM_SELECTED | RC_ITEM_CHECKED));
    EXPECT_FALSE(m_list.MatchItemStates(1, RC_ITEM_SELECTED | RC_ITEM_CHECKED));
    EXPECT_FALSE(m_list.MatchItemStates(1, RC_ITEM_SELECTED | RC_ITEM_UNSELECTED));
    EXPECT_TRUE(m_list.MatchItemStates(1, RC_ITEM_ALL | RC_ITEM_UNSELECTED));
    EXPECT_FALSE(m_list.MatchItemStates(1, 0));
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_UNCHECKED), 4);
    EXPECT_EQ(m_list.SetAllItemStates(RC_ITEM_CHECKED, RC_ITEM_UNCHECKED), 1);
    EXPECT_EQ(m_list.SetAllItemStates(0, RC_ITEM_SELECTED), 0);
    EXPECT_EQ(m_list.DeleteAllItems(RC_ITEM_SELECTED), 2);
    EXPECT_EQ(Column(), (Texts{"r0", "r2", "r4"}));
    EXPECT_EQ(m_list.SetAllItemStates(RC_ITEM_ALL, RC_ITEM_SELECTED), 3);
    EXPECT_EQ(m_list.DeleteAllItems(RC_ITEM_ALL), 3);
    EXPECT_EQ(m_list.GetItemCount(), 0);
}

TEST_F(ReportCtrlTest, DeletingWithSelectNextSelectsTheFollowingRowOnly)
{
    Fill({"r0", "r1", "r2"});
    EXPECT_TRUE(m_list.DeleteItem(0, TRUE));
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), 0);
    EXPECT_EQ(m_list.GetItemText(0, 0), "r1");
    m_list.SetAllItemStates(RC_ITEM_ALL, RC_ITEM_UNSELECTED);
    EXPECT_TRUE(m_list.DeleteItem(1, TRUE));
    EXPECT_EQ(m_list.GetItemCount(), 1);
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_SELECTED), 0);
    EXPECT_FALSE(m_list.DeleteItem(5, TRUE));
}

TEST_F(ReportCtrlTest, SpaceInTheListChangesNothing)
{
    Fill({"r0", "r1", "r2"});
    m_list.SetItemStates(0, RC_ITEM_SELECTED);
    m_list.SetItemStates(2, RC_ITEM_FOCUSED);
    Table()->setFocus();
    QTest::keyClick(Table(), Qt::Key_Space);
    EXPECT_EQ(m_list.GetItemStates(0) & RC_ITEM_SELECTED, static_cast<DWORD>(RC_ITEM_SELECTED));
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_SELECTED), 1);
    // Other keys still reach the list.
    QTest::keyClick(Table(), Qt::Key_Up);
    EXPECT_EQ(m_list.GetItemStates(1) & RC_ITEM_FOCUSED, static_cast<DWORD>(RC_ITEM_FOCUSED));
}

TEST_F(ReportCtrlTest, ColumnsAddedAndRemovedKeepOneColourPerCell)
{
    Fill({"r0", "r1"});
    EXPECT_EQ(m_list.InsertColumn(1, "Middle", LVCFMT_LEFT, 40), 1);
    auto* pRecord = reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(0));
    EXPECT_EQ(pRecord->aBkColors.size(), 3u);
    EXPECT_EQ(m_list.GetItemText(0, 2), "row0");
    EXPECT_TRUE(m_list.DeleteColumn(0));
    EXPECT_EQ(reinterpret_cast<CReportCtrl::ItemData*>(m_list.GetItemData(0)), pRecord) << "the record stays with its row";
    EXPECT_EQ(pRecord->aTextColors.size(), 2u);
    EXPECT_EQ(m_list.InsertColumn(-1, "Bad"), -1);
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
    EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES));
    list.SetGridLines(TRUE);
    EXPECT_EQ(list.GetExtendedStyle() & LVS_EX_GRIDLINES, static_cast<DWORD>(LVS_EX_GRIDLINES));
    list.SetColumnHeader("A, 50");
    for (int i = 0; i < 100; ++i)
        list.InsertItem(0, "x");
    page.Destroy();
    EXPECT_EQ(list.GetSafeHwnd(), nullptr);
    // Leak checking at exit shows whether the hundred records were freed.
}
