// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CReportCtrl: the list of the address book and feed pages. Its columns come from one spec string, it
// sorts itself when a heading is clicked (comparing cells as hexadecimal numbers, decimal numbers,
// dates or text, in that order of preference), keeps a record of colours per row and draws each cell
// with them, and filters rows by their states.
//
// Dates are what COleDateTime reads as a date: ISO 8601 dates and date-times, and the short date,
// date and time, and time forms of the user's locale (see platform/OleDateTime.h).

#include "platform/ListCtrl.h"
#include "platform/OleDateTime.h"

#include <cstdint>
#include <memory_resource>
#include <new>
#include <optional>
#include <unordered_set>
#include <vector>

// Row state flags, as filters and as states to set.
enum : DWORD {
    RC_ITEM_ALL = 0x01,
    RC_ITEM_SELECTED = 0x02,
    RC_ITEM_UNSELECTED = 0x04,
    RC_ITEM_CHECKED = 0x08,
    RC_ITEM_UNCHECKED = 0x10,
    RC_ITEM_FOCUSED = 0x20,
    RC_ITEM_UNFOCUSED = 0x40,
};

// Sent to the parent after every sort: wParam the column, lParam 1 for ascending, 0 for descending.
enum : UINT { WM_APP = 0x8000, WM_ITEM_SORTED = WM_APP + 10001 };

// A cell's text as the sort reads it, worked out once per sort rather than once per comparison:
// which of the comparison's readings the text allows, with their values, and the text itself, not
// copied: it must outlive the key.
struct ReportSortKey
{
    bool bHex = false;
    unsigned long nHex = 0;
    bool bDecimal = false;
    double dDecimal = 0;
    bool bDate = false;
    COleDateTime date;
    const char* pszText = "";
    // The text's first eight bytes, big-endian, zeros after its end: two keys whose prefixes differ
    // are ordered by them as strcmp orders their texts, without reading the texts.
    std::uint64_t nPrefix = 0;
};
ReportSortKey MakeReportSortKey(const char* pszText);
// Exactly what CompareReportCells answers for the two texts the keys were made of.
int CompareReportSortKeys(const ReportSortKey& key1, const ReportSortKey& key2);

class CReportCtrl : public CListCtrl
{
public:
    // The record of a row, kept in the row's data value.
    struct ItemData
    {
        explicit ItemData(std::pmr::memory_resource* pPool) : aTextColors(pPool), aBkColors(pPool) {}
        DWORD_PTR dwData = 0; // the data value the row had before
        std::pmr::vector<COLORREF> aTextColors; // one per column
        std::pmr::vector<COLORREF> aBkColors; // one per column
    };

    CReportCtrl();
    ~CReportCtrl() override;

    BOOL Create(CWnd* pParentWnd, UINT nID, const CRect* pRect = nullptr, DWORD dwStyle = 0);

    void SetExtendedStyle(DWORD dwExStyle);
    void SetGridLines(BOOL bShow = TRUE);
    BOOL HasColumnHeader() const;
    BOOL IsSortable() const;

    // Replaces all rows and columns by the columns of the spec, "Heading, width, format; ...".
    BOOL SetColumnHeader(const char* pszSpec);
    int GetColumnCount() const;
    int InsertColumn(int nCol, const char* pszHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1, int nSubItem = -1);
    BOOL DeleteColumn(int nCol);
    BOOL DeleteAllColumns();

    int InsertItem(int nIndex, const char* pszText);
    BOOL SetItemText(int nItem, int nSubItem, const char* pszText);
    BOOL DeleteItem(int nItem, BOOL bSelectNext = FALSE);
    int DeleteAllItems(DWORD dwStates = RC_ITEM_ALL);
    BOOL IsValidIndex(int nItem) const;
    int GetItemCount(DWORD dwStates = RC_ITEM_ALL) const;
    int GetFirstItem(DWORD dwStates = RC_ITEM_ALL, int nStartAfter = -1) const;
    DWORD GetItemStates(int nItem) const;
    BOOL MatchItemStates(int nItem, DWORD dwStates) const;
    BOOL SetItemStates(int nItem, DWORD dwNewStates);

    void SortItems(int nColumn, BOOL bAscending);

protected:
    void PreSubclassWindow() override;
    void OnDestroy() override;
    void OnColumnClick(int nCol) override;
    BOOL OnCustomDrawSubItem(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBk) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

private:
    void ForgetSort();
    void ForceReportStyle();
    ItemData* Record(int nItem) const;
    void FreeRecord(int nItem);
    // The comparison in the sort's direction, equal texts ordered by their row: the sort is stable.
    // Rows are indexes into keys.
    int CompareInOrder(const std::vector<ReportSortKey>& keys, int nRow1, int nRow2, int nSign) const;
    void QuickSort(const std::vector<ReportSortKey>& keys, std::vector<int>& rows, int nLo, int nHi, int nSign) const;
    void SortRows(int nFirst, int nLast, int nColumn, BOOL bAscending);

    int m_nSortColumn = -1;
    BOOL m_bSortAscending = TRUE;
    // Records, their colours and the set of them are cut from one pool, which is let go as a whole
    // when every row goes: one by one, a heavy card's lists made and freed four blocks of memory for
    // each of their 40,000 rows. A row deleted on its own leaves its share in the pool until then.
    std::pmr::monotonic_buffer_resource m_pool;
    // Every record this list made and has not freed; whatever is left goes with the list.
    std::optional<std::pmr::unordered_set<ItemData*>> m_records;
    void FreeAllRecords();
};

// The comparison of two cell texts used by the sort: negative, 0 or positive. Two hexadecimal numbers
// compare as such, else two decimal numbers, else two dates, else the bytes.
int CompareReportCells(const char* pszText1, const char* pszText2);
