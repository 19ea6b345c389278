// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ReportCtrl.h"

#include "TestSupport.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLocale>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Texts = std::vector<std::string>;
using Record = CReportCtrl::ItemData;

class CHost : public CWnd
{
public:
    CHost() { AdoptWindow(new QWidget); }
};

class ReportCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const CRect rect(0, 0, 480, 380);
        m_host.GetSafeHwnd()->resize(500, 400);
        ASSERT_TRUE(m_list.Create(&m_host, 1033, &rect));
        m_host.GetSafeHwnd()->show();
    }
    // Rows of these texts in the first column and "row<n>" in the second.
    void Fill(const Texts& texts, const char* pszSpec = "Text, 120; Other, 80")
    {
        m_list.SetColumnHeader(pszSpec);
        for (size_t i = 0; i < texts.size(); ++i)
            m_list.SetItemText(m_list.InsertItem(static_cast<int>(i), texts[i].c_str()), 1,
                               ("row" + std::to_string(i)).c_str());
    }
    Texts Column(int nCol = 0) const
    {
        Texts texts;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            texts.push_back(m_list.GetItemText(i, nCol).Bytes());
        return texts;
    }
    Record* RowRecord(int nRow) const { return reinterpret_cast<Record*>(m_list.GetItemData(nRow)); }
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

std::string ShortDate(int nYear, int nMonth)
{
    return QLocale::system().toString(QDate(nYear, nMonth, 1), QLocale::ShortFormat).toStdString();
}

} // namespace

TEST_F(ReportCtrlTest, ColumnSpecKeepsBlanksAndSkipsEmptyHeadings)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"First, 80; Last, 80; Address, 250", "First| Last| Address"},
        {"Heading", "Heading"},
        {"A,10,1;B,20,2;C,30,0", "A|B|C"},
        {"A, 50; ", "A| "},
        {"A, 50;", "A"},
        {";;,", ""}};
    for (const auto& [pszSpec, pszHeadings] : cases) {
        Fill({"a", "b"}, pszSpec);
        std::string headings;
        for (int i = 0; i < Table()->model()->columnCount(); ++i)
            headings += (i ? "|" : "") + Table()->model()->headerData(i, Qt::Horizontal).toString().toStdString();
        EXPECT_EQ(headings, pszHeadings) << pszSpec;
        EXPECT_EQ(m_list.GetItemCount(), *pszHeadings ? 2 : 0) << "a new spec empties the list first";
    }
}

TEST_F(ReportCtrlTest, CellsCompareAsHexThenDecimalThenDatesThenBytes)
{
    std::vector<std::tuple<std::string, std::string, int>> cases = {
        {"9", "1A", -1}, {"1A", "20", -1}, {"1.5", "2", -1}, {"2", "10%", -1},    {"10%", "10", 0},
        {"Q", "a", -1},  {"B", "a", -1},   {"", "0", -1},    {"\xC3\xA9", "z", 1}};
    // A name made of the letters A to F is a name: hexadecimal needs a digit.
    cases.insert(cases.end(), {{"Ed", "Ada", 1}, {"Bea", "Carl", -1}, {"Bead", "99", 1}, {"face", "FACE", 1}});
    cases.insert(cases.end(),
                 {{"2026-01-05", "2026-11-20", -1},
                  {"2026-12-06T14:30", "2026-12-06 09:15:00", 1},
                  {ShortDate(2025, 3), ShortDate(2026, 2), -1}});
    for (const auto& [first, second, nExpected] : cases) {
        const int nCompare = CompareReportCells(first.c_str(), second.c_str());
        EXPECT_EQ((nCompare > 0) - (nCompare < 0), nExpected) << first << " against " << second;
    }
}

// The sort compares keys made once per cell; they must answer exactly as the texts do, for every
// pair, including the pairs where the comparison is not transitive ("9.5" < "10" < "1A" < "9.5" as
// decimal, hexadecimal, then bytes), so that the order of a sort is the comparison's own.
TEST_F(ReportCtrlTest, SortKeysCompareExactlyAsTheirTextsOnRandomMixedCells)
{
    Texts pieces = {"",    "0",    "9",   "A",   "10",  "10%", "1.5", "-7", "Bead", "1A",
                    "9.5", "face", "nan", "inf", "1e3", " 12", "Q",   "a",  "0x1F"};
    pieces.insert(
        pieces.end(),
        {"FFFFFFFFFF", "2026-01-05", "2026-12-06T14:30", "2026-12-06 09:15:00", "Ana Luc\xC3\xAD", ShortDate(2025, 3)});
    std::mt19937 random(7);
    Texts texts = pieces;
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

TEST_F(ReportCtrlTest, HeaderClicksSortBothWaysStably)
{
    Fill({"Ed", "10", "Ada", "9", "Bea"});
    ClickHeading(0);
    EXPECT_EQ(Column(), (Texts{"9", "10", "Ada", "Bea", "Ed"})) << "numbers as numbers, names as names";
    // Equal cells keep the order they had, whichever the direction: two contacts of the same name
    // must not swap places in the file at every confirm.
    Fill({"b", "a", "b", "a", "b", "a"});
    ClickHeading(0);
    EXPECT_EQ(Column(1), (Texts{"row1", "row3", "row5", "row0", "row2", "row4"}));
    ClickHeading(0);
    EXPECT_EQ(Column(1), (Texts{"row0", "row2", "row4", "row1", "row3", "row5"}));
    ClickHeading(1);
    EXPECT_EQ(Column(1), (Texts{"row0", "row1", "row2", "row3", "row4", "row5"}));
    // After a new row the list is no longer sorted: the arrow goes, the next click starts ascending again.
    EXPECT_TRUE(Table()->horizontalHeader()->isSortIndicatorShown());
    m_list.SetItemText(m_list.InsertItem(0, "new"), 1, "row9");
    EXPECT_FALSE(Table()->horizontalHeader()->isSortIndicatorShown());
    ClickHeading(1);
    EXPECT_EQ(Column(1).back(), "row9");
}

// A column of texts that read as no number and no date (names, addresses, URLs) is sorted by a
// faster path; its order must still be the bytes' order, with equal texts in the order they had,
// whichever the direction. Long common beginnings make the texts differ past their first 8 bytes.
TEST_F(ReportCtrlTest, TextColumnsSortByTheirBytesWithEqualTextsKeepingTheirOrder)
{
    const Texts pieces = {"",
                          "q",
                          "qz",
                          "qzqzqzqz",
                          "qzqzqzq",
                          "qzqzqzqzq",
                          "friend1234@example.net",
                          "friend12345@example.net",
                          "Ana Luc\xC3\xAD",
                          "@",
                          "q@q.q"};
    std::mt19937 random(11);
    Texts texts;
    for (int i = 0; i < 400; ++i)
        texts.push_back(pieces[random() % pieces.size()] + (random() % 3 ? "" : pieces[random() % pieces.size()]));
    for (const std::string& text : texts) {
        const ReportSortKey key = MakeReportSortKey(text.c_str());
        ASSERT_FALSE(key.bHex || key.bDecimal || key.bDate) << "'" << text << "' must be plain text here";
    }
    for (const bool bAscending : {true, false}) {
        std::vector<size_t> order(texts.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            const int nCompare = std::strcmp(texts[a].c_str(), texts[b].c_str());
            return bAscending ? nCompare < 0 : nCompare > 0;
        });
        Texts expected;
        for (const size_t i : order)
            expected.push_back("row" + std::to_string(i));
        // From the file's order each time, as when a page opens.
        Fill(texts);
        m_list.SortItems(0, bAscending);
        EXPECT_EQ(Column(1), expected) << (bAscending ? "ascending" : "descending");
    }
}

TEST_F(ReportCtrlTest, SelectionFocusAndRecordsFollowTheirRowsWhenSortedAndSpaceChangesNothing)
{
    Fill({"c", "a", "d", "b"});
    m_list.SetItemStates(0, RC_ITEM_SELECTED | RC_ITEM_FOCUSED);
    m_list.SetItemStates(2, RC_ITEM_SELECTED);
    Record* pRecordC = RowRecord(0);
    m_list.SortItems(0, TRUE);
    EXPECT_EQ(Column(1), (Texts{"row1", "row3", "row0", "row2"}));
    EXPECT_EQ(m_list.GetItemStates(2), static_cast<DWORD>(RC_ITEM_SELECTED | RC_ITEM_UNCHECKED | RC_ITEM_FOCUSED));
    EXPECT_EQ(m_list.GetItemStates(3), static_cast<DWORD>(RC_ITEM_SELECTED | RC_ITEM_UNCHECKED | RC_ITEM_UNFOCUSED));
    EXPECT_EQ(RowRecord(2), pRecordC);
    m_list.SetItemStates(0, RC_ITEM_FOCUSED);
    Table()->setFocus();
    QTest::keyClick(Table(), Qt::Key_Space);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), 2);
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_SELECTED), 2);
}

TEST_F(ReportCtrlTest, RowsAddedAtTheEndReachTheViewByItsNextPaintOrTurnOfTheLoop)
{
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_host.GetSafeHwnd()));
    Fill({"r0", "r1"});
    EXPECT_EQ(m_list.GetItemCount(), 2) << "the list counts them at once";
    Table()->viewport()->repaint();
    EXPECT_EQ(Table()->model()->rowCount(), 2) << "the view painted without them";
    EXPECT_TRUE(Table()->visualRect(Table()->model()->index(1, 0)).isValid());
    m_list.InsertItem(2, "r2");
    QTest::qWait(0);
    EXPECT_EQ(Table()->model()->rowCount(), 3);
    m_list.InsertItem(0, "r");
    EXPECT_EQ(Table()->model()->rowCount(), 4) << "a row put before the others is told at once";
    EXPECT_EQ(Column(), (Texts{"r", "r0", "r1", "r2"}));
}

// Widths as Qt's own fit to contents measures them: the heading with its sort arrow, and the cells.
TEST_F(ReportCtrlTest, ColumnsFollowTheirTextsAndTheFontTheLastFillsTheListAndADraggedColumnKeepsItsWidth)
{
    QTableView* pTable = Table();
    const auto needs = [pTable](int nCol) {
        pTable->horizontalHeader()->setSortIndicatorShown(true);
        return std::max(pTable->horizontalHeader()->sectionSizeHint(nCol),
                        static_cast<QAbstractItemView*>(pTable)->sizeHintForColumn(nCol));
    };
    const auto expectFilled = [pTable](const char* pszWhen) {
        EXPECT_EQ(pTable->columnWidth(0) + pTable->columnWidth(1), pTable->viewport()->width()) << pszWhen;
        EXPECT_FALSE(pTable->horizontalScrollBar()->isVisible()) << pszWhen;
    };
    // Given widths wider than the list: its columns still fit it.
    Fill({"Al", "Bo"}, "Name, 300; Address, 300");
    QTest::qWait(0);
    EXPECT_GE(pTable->columnWidth(0), needs(0));
    expectFilled("filled");
    const int nShort = pTable->columnWidth(0);

    m_list.SetItemText(1, 0, "Bartholomew Oppenheimer");
    QTest::qWait(0);
    EXPECT_GT(pTable->columnWidth(0), nShort);
    EXPECT_GE(pTable->columnWidth(0), needs(0)) << "a longer text widens its column";
    expectFilled("a text longer");
    const int nLong = pTable->columnWidth(0);

    QFont font = pTable->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    pTable->setFont(font);
    QTest::qWait(0);
    EXPECT_GT(pTable->columnWidth(0), nLong);
    EXPECT_GE(pTable->columnWidth(0), needs(0)) << "a larger font widens the column";
    EXPECT_GE(pTable->columnWidth(1), needs(1));
    expectFilled("the font larger");

    // What the user drags a column to is kept through new rows and a sort.
    pTable->horizontalHeader()->resizeSection(0, 70);
    QTest::qWait(0);
    expectFilled("dragged");
    m_list.InsertItem(0, "Christopher Christopher-Christophersen");
    ClickHeading(1);
    QTest::qWait(0);
    EXPECT_EQ(pTable->columnWidth(0), 70);
    expectFilled("sorted");
}

TEST_F(ReportCtrlTest, StateFiltersFindCountAndDeleteTheMatchingRows)
{
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, -1), -1);
    Fill({"r0", "r1", "r2", "r3", "r4"});
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, -1), -1);
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_ALL, 3), 4);
    EXPECT_TRUE(m_list.SetItemStates(1, RC_ITEM_SELECTED));
    EXPECT_TRUE(m_list.SetItemStates(3, RC_ITEM_SELECTED | RC_ITEM_CHECKED));
    EXPECT_EQ(m_list.GetFirstItem(RC_ITEM_SELECTED, 1), 3);
    EXPECT_EQ(m_list.GetItemCount(RC_ITEM_UNCHECKED), 4);
    EXPECT_EQ(m_list.DeleteAllItems(RC_ITEM_SELECTED), 2);
    EXPECT_EQ(Column(), (Texts{"r0", "r2", "r4"}));
    EXPECT_FALSE(m_list.DeleteItem(5, FALSE));
}

TEST_F(ReportCtrlTest, RecordsKeepOneColourPerCellAcrossColumnChangesAndCellsAreDrawnWithThem)
{
    Fill({"r0", "r1"});
    EXPECT_EQ(m_list.InsertColumn(1, "Middle", LVCFMT_LEFT, 40), 1);
    Record* pRecord = RowRecord(1);
    ASSERT_NE(pRecord, nullptr);
    EXPECT_EQ(pRecord->aBkColors.size(), 3u);
    EXPECT_TRUE(m_list.DeleteColumn(0));
    EXPECT_EQ(RowRecord(1), pRecord) << "the record stays with its row";
    ASSERT_EQ(pRecord->aTextColors.size(), 2u);
    pRecord->aBkColors[1] = RGB(200, 10, 30);
    const QRect cell = Table()->visualRect(Table()->model()->index(1, 1));
    const QImage image = Table()->viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(cell.center() + QPoint(30, 0)), QColor(200, 10, 30));

    // A row added after the desktop's theme changed takes the new theme's colours.
    const QPalette previous = QGuiApplication::palette();
    QPalette dark = previous;
    dark.setColor(QPalette::Base, QColor(20, 30, 40));
    dark.setColor(QPalette::Text, QColor(220, 230, 240));
    QGuiApplication::setPalette(dark);
    const int nRow = m_list.InsertItem(m_list.GetItemCount(), "dark");
    EXPECT_EQ(RowRecord(nRow)->aBkColors[0], RGB(20, 30, 40));
    EXPECT_EQ(RowRecord(nRow)->aTextColors[0], RGB(220, 230, 240));
    QGuiApplication::setPalette(previous);
    EXPECT_EQ(RowRecord(m_list.InsertItem(0, "light"))->aBkColors[0], RowRecord(1)->aBkColors[0]);
}

TEST(ReportCtrlSubclass, TemplateListIsForcedIntoAReportViewWithRecordsFreedWithTheWindow)
{
    // A page's list, attached by subclassing as DDX_Control does, gone with the page window.
    class CPage : public CWnd
    {
    public:
        CPage()
        {
            auto* pTable = new QTableView(new QWidget);
            pTable->setProperty("ctrlId", 1032);
            pTable->horizontalHeader()->setSectionsClickable(false);
            AdoptWindow(pTable->parentWidget());
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
