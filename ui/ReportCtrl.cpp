// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ReportCtrl.h"

#include "platform/OleDateTime.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <utility>

namespace {

// Style bits a report list never has, and the ones it always has.
const DWORD kStylesRemoved = LVS_EDITLABELS | LVS_NOSCROLL | 0x0002;
const DWORD kStylesForced = 0x50300001; // WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | LVS_REPORT

DWORD ForcedStyle(DWORD dwStyle)
{
    return (dwStyle & ~kStylesRemoved) | kStylesForced;
}

std::vector<std::string> Split(const std::string& text, char cSeparator)
{
    // The pieces keep their blanks: " Last" is a heading of its own, with its blank.
    std::vector<std::string> pieces;
    size_t nStart = 0;
    for (;;) {
        const size_t nEnd = text.find(cSeparator, nStart);
        std::string piece = text.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart);
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        if (nEnd == std::string::npos)
            return pieces;
        nStart = nEnd + 1;
    }
}

// A whole-text hexadecimal number, as a 32-bit value. It needs a decimal digit: names made only of
// the letters A to F ("Ada", "Bea", "Ed") are names, not numbers.
bool ReadHex(const char* pszText, unsigned long& nValue)
{
    if (!*pszText || !std::strpbrk(pszText, "0123456789"))
        return false;
    char* pEnd = nullptr;
    errno = 0;
    const unsigned long long n = std::strtoull(pszText, &pEnd, 16);
    if (*pEnd != '\0' || pEnd == pszText)
        return false;
    // Values beyond 32 bits stand at the top of the range, as a 32-bit reader leaves them.
    const bool bNegative = std::strchr(pszText, '-') != nullptr;
    nValue = (errno == ERANGE || (!bNegative && n > 0xFFFFFFFFull)) ? 0xFFFFFFFFul
                                                                    : static_cast<unsigned long>(n & 0xFFFFFFFFull);
    return true;
}

// A whole-text decimal number, or one with a final "%", read the same in every locale. Only plain
// numbers count: no "inf", "nan" or hexadecimal floating point.
bool ReadDecimal(const char* pszText, double& dValue)
{
    if (!*pszText || std::strpbrk(pszText, "xXnNiI"))
        return false;
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    char* pEnd = nullptr;
    dValue = strtod_l(pszText, &pEnd, cLocale);
    if (pEnd == pszText)
        return false;
    return *pEnd == '\0' || (pEnd[0] == '%' && pEnd[1] == '\0');
}

// Texts that read as no number and no date compare by their bytes alone, and equal ones by their
// rows: an order without ties or cycles, so any correct sort finds the one the comparison gives. Such
// a column (names, addresses, URLs) is sorted with the keys' prefixes side by side, which is several
// times faster on a long list than comparing through the full keys.
struct TextSortEntry
{
    std::uint64_t nPrefix;
    const char* pszText;
    int nRow;
};

bool IsPlainText(const ReportSortKey& key)
{
    return !key.bHex && !key.bDecimal && !key.bDate;
}

// -1, 0 or 1 as strcmp orders the two texts.
int CompareTexts(const TextSortEntry& a, const TextSortEntry& b)
{
    if (a.nPrefix != b.nPrefix)
        return a.nPrefix < b.nPrefix ? -1 : 1;
    // Equal prefixes: a text that ends within its first eight bytes ends where the other does.
    if ((a.nPrefix & 0xFF) == 0)
        return 0;
    const int nCompare = std::strcmp(a.pszText + 8, b.pszText + 8);
    return nCompare < 0 ? -1 : (nCompare > 0 ? 1 : 0);
}

void SortPlainTexts(const std::vector<ReportSortKey>& keys, std::vector<int>& rows, int nSign)
{
    std::vector<TextSortEntry> entries;
    entries.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        entries.push_back({keys[i].nPrefix, keys[i].pszText, static_cast<int>(i)});
    std::sort(entries.begin(), entries.end(), [nSign](const TextSortEntry& a, const TextSortEntry& b) {
        const int nCompare = nSign * CompareTexts(a, b);
        return nCompare != 0 ? nCompare < 0 : a.nRow < b.nRow;
    });
    for (size_t i = 0; i < entries.size(); ++i)
        rows[i] = entries[i].nRow;
}

} // namespace

int CompareReportCells(const char* pszText1, const char* pszText2)
{
    unsigned long nHex1 = 0;
    unsigned long nHex2 = 0;
    if (ReadHex(pszText1, nHex1) && ReadHex(pszText2, nHex2))
        return nHex1 < nHex2 ? -1 : (nHex1 > nHex2 ? 1 : 0);
    double d1 = 0;
    double d2 = 0;
    if (ReadDecimal(pszText1, d1) && ReadDecimal(pszText2, d2))
        return d1 < d2 ? -1 : (d1 > d2 ? 1 : 0);
    COleDateTime date1;
    COleDateTime date2;
    if (date1.ParseDateTime(pszText1) && date2.ParseDateTime(pszText2))
        return date1 < date2 ? -1 : (date1 > date2 ? 1 : 0);
    const int nCompare = std::strcmp(pszText1, pszText2);
    return nCompare < 0 ? -1 : (nCompare > 0 ? 1 : 0);
}

ReportSortKey MakeReportSortKey(const char* pszText)
{
    ReportSortKey key;
    key.bHex = ReadHex(pszText, key.nHex);
    key.bDecimal = ReadDecimal(pszText, key.dDecimal);
    key.bDate = key.date.ParseDateTime(pszText);
    key.pszText = pszText;
    for (int i = 0; i < 8; ++i) {
        key.nPrefix <<= 8;
        if (*pszText)
            key.nPrefix |= static_cast<unsigned char>(*pszText++);
    }
    return key;
}

int CompareReportSortKeys(const ReportSortKey& key1, const ReportSortKey& key2)
{
    if (key1.bHex && key2.bHex)
        return key1.nHex < key2.nHex ? -1 : (key1.nHex > key2.nHex ? 1 : 0);
    if (key1.bDecimal && key2.bDecimal)
        return key1.dDecimal < key2.dDecimal ? -1 : (key1.dDecimal > key2.dDecimal ? 1 : 0);
    if (key1.bDate && key2.bDate)
        return key1.date < key2.date ? -1 : (key1.date > key2.date ? 1 : 0);
    if (key1.nPrefix != key2.nPrefix)
        return key1.nPrefix < key2.nPrefix ? -1 : 1;
    const int nCompare = std::strcmp(key1.pszText, key2.pszText);
    return nCompare < 0 ? -1 : (nCompare > 0 ? 1 : 0);
}

CReportCtrl::CReportCtrl()
{
    m_records.emplace(&m_pool);
}

CReportCtrl::~CReportCtrl()
{
    if (GetSafeHwnd())
        DeleteAllItems(RC_ITEM_ALL);
    FreeAllRecords();
}

void CReportCtrl::FreeAllRecords()
{
    for (ItemData* pRecord : *m_records)
        pRecord->~ItemData();
    m_records.reset();
    m_pool.release();
    m_records.emplace(&m_pool);
}

BOOL CReportCtrl::Create(CWnd* pParentWnd, UINT nID, const CRect* pRect, DWORD dwStyle)
{
    CRect rect;
    if (pRect) {
        rect = *pRect;
    } else if (pParentWnd) {
        const CRect parent = pParentWnd->GetWindowRect();
        rect = CRect(0, 0, parent.Width(), parent.Height());
    }
    if (!CListCtrl::Create(ForcedStyle(dwStyle), rect, pParentWnd, nID))
        return FALSE;
    SetExtendedStyle(0);
    return TRUE;
}

void CReportCtrl::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    ForceReportStyle();
    SetExtendedStyle(0);
}

void CReportCtrl::ForceReportStyle()
{
    SetStyle(ForcedStyle(GetStyle()));
}

void CReportCtrl::OnDestroy()
{
    DeleteAllItems(RC_ITEM_ALL);
    CListCtrl::OnDestroy();
}

void CReportCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    CListCtrl::SetExtendedStyle(dwExStyle | LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES);
}

void CReportCtrl::SetGridLines(BOOL bShow)
{
    DWORD dwExStyle = GetExtendedStyle();
    dwExStyle = bShow ? (dwExStyle | LVS_EX_GRIDLINES) : (dwExStyle & ~static_cast<DWORD>(LVS_EX_GRIDLINES));
    SetExtendedStyle(dwExStyle);
}

BOOL CReportCtrl::HasColumnHeader() const
{
    return GetSafeHwnd() && !(GetStyle() & LVS_NOCOLUMNHEADER);
}

BOOL CReportCtrl::IsSortable() const
{
    return HasColumnHeader() && IsHeaderClickable();
}

BOOL CReportCtrl::SetColumnHeader(const char* pszSpec)
{
    DeleteAllItems(RC_ITEM_ALL);
    DeleteAllColumns();
    BOOL bInserted = FALSE;
    for (const std::string& piece : Split(pszSpec ? pszSpec : "", ';')) {
        const std::vector<std::string> fields = Split(piece, ',');
        if (fields.empty())
            continue;
        const int nWidth = fields.size() > 1 ? std::atoi(fields[1].c_str()) : 100;
        // The spec's own codes: 1 is centred, 2 right-aligned, anything else left-aligned.
        int nFormat = LVCFMT_LEFT;
        if (fields.size() > 2) {
            const int nCode = std::atoi(fields[2].c_str());
            nFormat = nCode == 1 ? LVCFMT_CENTER : (nCode == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT);
        }
        if (InsertColumn(GetColumnCount(), fields[0].c_str(), nFormat, nWidth, -1) >= 0)
            bInserted = TRUE;
    }
    return bInserted;
}

int CReportCtrl::GetColumnCount() const
{
    return GetHeaderItemCount();
}

int CReportCtrl::InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth, int nSubItem)
{
    const int nIndex = CListCtrl::InsertColumn(nCol, pszHeading, nFormat, nWidth, nSubItem);
    if (nIndex < 0)
        return -1;
    for (int nRow = 0; nRow < CListCtrl::GetItemCount(); ++nRow) {
        if (ItemData* pRecord = Record(nRow)) {
            pRecord->aTextColors.insert(pRecord->aTextColors.begin() + nIndex, GetSysColor(COLOR_WINDOWTEXT));
            pRecord->aBkColors.insert(pRecord->aBkColors.begin() + nIndex, GetSysColor(COLOR_WINDOW));
        }
    }
    return nIndex;
}

BOOL CReportCtrl::DeleteColumn(int nCol)
{
    if (!CListCtrl::DeleteColumn(nCol))
        return FALSE;
    for (int nRow = 0; nRow < CListCtrl::GetItemCount(); ++nRow) {
        ItemData* pRecord = Record(nRow);
        if (pRecord && nCol < static_cast<int>(pRecord->aTextColors.size())) {
            pRecord->aTextColors.erase(pRecord->aTextColors.begin() + nCol);
            pRecord->aBkColors.erase(pRecord->aBkColors.begin() + nCol);
        }
    }
    return TRUE;
}

BOOL CReportCtrl::DeleteAllColumns()
{
    while (GetColumnCount() > 0 && DeleteColumn(0)) {}
    return TRUE;
}

CReportCtrl::ItemData* CReportCtrl::Record(int nItem) const
{
    auto* pRecord = reinterpret_cast<ItemData*>(CListCtrl::GetItemData(nItem));
    return pRecord && m_records->count(pRecord) ? pRecord : nullptr;
}

void CReportCtrl::FreeRecord(int nItem)
{
    ItemData* pRecord = Record(nItem);
    CListCtrl::SetItemData(nItem, 0);
    if (pRecord) {
        m_records->erase(pRecord);
        pRecord->~ItemData();
    }
}

// A row added or changed leaves the list in no sorted order: the header's arrow would say otherwise.
void CReportCtrl::ForgetSort()
{
    if (m_nSortColumn >= 0)
        ShowSortIndicator(-1, TRUE);
    m_nSortColumn = -1;
    m_bSortAscending = TRUE;
}

int CReportCtrl::InsertItem(int nIndex, const char* pszText)
{
    ForgetSort();
    const int nItem = CListCtrl::InsertItem(nIndex, pszText);
    if (nItem < 0)
        return -1;
    ItemData* pRecord = new (m_pool.allocate(sizeof(ItemData), alignof(ItemData))) ItemData(&m_pool);
    pRecord->dwData = CListCtrl::GetItemData(nItem);
    const size_t nColumns = static_cast<size_t>(GetColumnCount());
    pRecord->aTextColors.assign(nColumns, GetSysColor(COLOR_WINDOWTEXT));
    pRecord->aBkColors.assign(nColumns, GetSysColor(COLOR_WINDOW));
    m_records->insert(pRecord);
    CListCtrl::SetItemData(nItem, reinterpret_cast<DWORD_PTR>(pRecord));
    return nItem;
}

BOOL CReportCtrl::SetItemText(int nItem, int nSubItem, const char* pszText)
{
    ForgetSort();
    return CListCtrl::SetItemText(nItem, nSubItem, pszText);
}

BOOL CReportCtrl::DeleteItem(int nItem, BOOL bSelectNext)
{
    if (!IsValidIndex(nItem))
        return FALSE;
    if (bSelectNext && IsValidIndex(nItem + 1))
        SetItemStates(nItem + 1, RC_ITEM_SELECTED);
    FreeRecord(nItem);
    return CListCtrl::DeleteItem(nItem);
}

int CReportCtrl::DeleteAllItems(DWORD dwStates)
{
    LockWindowUpdate();
    int nDeleted = 0;
    if (dwStates & RC_ITEM_ALL) {
        // Every record belongs to a row, so all of them go; one by one, each would be looked up first.
        nDeleted = CListCtrl::GetItemCount();
        CListCtrl::DeleteAllItems();
        FreeAllRecords();
    } else {
        int nRow = 0;
        while (nRow < CListCtrl::GetItemCount()) {
            if (MatchItemStates(nRow, dwStates)) {
                DeleteItem(nRow, FALSE);
                ++nDeleted;
            } else {
                ++nRow;
            }
        }
    }
    UnlockWindowUpdate();
    return nDeleted;
}

BOOL CReportCtrl::IsValidIndex(int nItem) const
{
    return nItem >= 0 && nItem < CListCtrl::GetItemCount();
}

int CReportCtrl::GetItemCount(DWORD dwStates) const
{
    if (dwStates == RC_ITEM_ALL)
        return CListCtrl::GetItemCount();
    int nCount = 0;
    for (int nRow = 0; nRow < CListCtrl::GetItemCount(); ++nRow)
        nCount += MatchItemStates(nRow, dwStates) ? 1 : 0;
    return nCount;
}

int CReportCtrl::GetFirstItem(DWORD dwStates, int nStartAfter) const
{
    for (int nRow = std::max(nStartAfter, -1) + 1; nRow < CListCtrl::GetItemCount(); ++nRow) {
        if (MatchItemStates(nRow, dwStates))
            return nRow;
    }
    return -1;
}

DWORD CReportCtrl::GetItemStates(int nItem) const
{
    const UINT nState = GetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED);
    return ((nState & LVIS_SELECTED) ? RC_ITEM_SELECTED : RC_ITEM_UNSELECTED)
        | (GetCheck(nItem) ? RC_ITEM_CHECKED : RC_ITEM_UNCHECKED)
        | ((nState & LVIS_FOCUSED) ? RC_ITEM_FOCUSED : RC_ITEM_UNFOCUSED);
}

BOOL CReportCtrl::MatchItemStates(int nItem, DWORD dwStates) const
{
    if (dwStates == 0 || !IsValidIndex(nItem))
        return FALSE;
    if (dwStates & RC_ITEM_ALL)
        return TRUE;
    return (GetItemStates(nItem) & dwStates) == dwStates;
}

BOOL CReportCtrl::SetItemStates(int nItem, DWORD dwNewStates)
{
    if (dwNewStates == 0)
        return FALSE;
    BOOL bOk = TRUE;
    if (dwNewStates & RC_ITEM_SELECTED)
        bOk &= SetItemState(nItem, LVIS_SELECTED, LVIS_SELECTED);
    if (dwNewStates & RC_ITEM_UNSELECTED)
        bOk &= SetItemState(nItem, 0, LVIS_SELECTED);
    if (dwNewStates & RC_ITEM_CHECKED)
        bOk &= SetCheck(nItem, TRUE);
    if (dwNewStates & RC_ITEM_UNCHECKED)
        bOk &= SetCheck(nItem, FALSE);
    if (dwNewStates & RC_ITEM_FOCUSED)
        bOk &= SetItemState(nItem, LVIS_FOCUSED, LVIS_FOCUSED);
    if (dwNewStates & RC_ITEM_UNFOCUSED)
        bOk &= SetItemState(nItem, 0, LVIS_FOCUSED);
    return bOk;
}

void CReportCtrl::SortItems(int nColumn, BOOL bAscending)
{
    if (nColumn < 0 || nColumn >= GetColumnCount() || !IsSortable())
        return;
    m_nSortColumn = nColumn;
    m_bSortAscending = bAscending;
    SortRows(0, CListCtrl::GetItemCount() - 1, nColumn, bAscending);
    ShowSortIndicator(nColumn, bAscending);
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_ITEM_SORTED, static_cast<WPARAM>(nColumn), bAscending ? 1 : 0);
}

int CReportCtrl::CompareInOrder(const std::vector<ReportSortKey>& keys, int nRow1, int nRow2, int nSign) const
{
    // Rows that compare equal keep the order they had: otherwise two contacts with the same first name
    // swap places at every load, and the file changes although nobody edited it.
    const int nCompare = nSign
        * CompareReportSortKeys(keys[static_cast<size_t>(nRow1)], keys[static_cast<size_t>(nRow2)]);
    if (nCompare != 0)
        return nCompare;
    return nRow1 < nRow2 ? -1 : (nRow1 > nRow2 ? 1 : 0);
}

void CReportCtrl::QuickSort(const std::vector<ReportSortKey>& keys, std::vector<int>& rows, int nLo, int nHi,
                            int nSign) const
{
    while (nLo < nHi) {
        const int nPivot = rows[static_cast<size_t>((nLo + nHi) / 2)];
        int i = nLo;
        int j = nHi;
        while (i <= j) {
            // The bounds hold even if the texts compare inconsistently (the comparison mixes numbers,
            // dates and text, and is not transitive across them).
            while (i <= nHi && CompareInOrder(keys, rows[static_cast<size_t>(i)], nPivot, nSign) < 0)
                ++i;
            while (j >= nLo && CompareInOrder(keys, rows[static_cast<size_t>(j)], nPivot, nSign) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(rows[static_cast<size_t>(i)], rows[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        // The two parts are disjoint, so which is done first does not change the result; recursing
        // into the smaller one keeps the stack shallow on any input.
        if (j - nLo < nHi - i) {
            QuickSort(keys, rows, nLo, j, nSign);
            nLo = i;
        } else {
            QuickSort(keys, rows, i, nHi, nSign);
            nHi = j;
        }
    }
}

void CReportCtrl::SortRows(int nFirst, int nLast, int nColumn, BOOL bAscending)
{
    if (nFirst >= nLast || !IsValidIndex(nFirst) || !IsValidIndex(nLast))
        return;
    // Each cell is read once; a comparison then only looks at two keys. Reading the cells in every
    // comparison (a date parse among them) made a click on a long list's heading noticeably slow.
    std::vector<ReportSortKey> keys;
    std::vector<int> rows;
    keys.reserve(static_cast<size_t>(nLast - nFirst + 1));
    rows.reserve(keys.capacity());
    for (int nRow = nFirst; nRow <= nLast; ++nRow) {
        keys.push_back(MakeReportSortKey(CListCtrl::GetItemTextPtr(nRow, nColumn)));
        rows.push_back(nRow - nFirst);
    }
    if (std::all_of(keys.begin(), keys.end(), IsPlainText))
        SortPlainTexts(keys, rows, bAscending ? 1 : -1);
    else
        QuickSort(keys, rows, 0, static_cast<int>(rows.size()) - 1, bAscending ? 1 : -1);
    for (int& nRow : rows)
        nRow += nFirst;
    MoveRows(nFirst, rows);
}

void CReportCtrl::OnColumnClick(int nCol)
{
    // A second click on the sorted column turns the order round; another column starts ascending.
    SortItems(nCol, nCol == m_nSortColumn ? !m_bSortAscending : TRUE);
}

BOOL CReportCtrl::OnCustomDrawSubItem(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBk)
{
    const ItemData* pRecord = Record(nItem);
    if (!pRecord || nSubItem < 0 || nSubItem >= static_cast<int>(pRecord->aTextColors.size()))
        return FALSE;
    crText = pRecord->aTextColors[static_cast<size_t>(nSubItem)];
    crBk = pRecord->aBkColors[static_cast<size_t>(nSubItem)];
    return TRUE;
}

BOOL CReportCtrl::PreTranslateMessage(MSG* pMsg)
{
    // Space would toggle the selection of the focus row; the lists here select with the mouse.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_SPACE)
        return TRUE;
    return CListCtrl::PreTranslateMessage(pMsg);
}
