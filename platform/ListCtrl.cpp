#include "platform/ListCtrl.h"

#include "platform/QtBridge.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

// Item roles: the row's data value lives in the first cell, each cell keeps its image index, and
// the check mark is kept as a state of its own (no check boxes are drawn).
const int kDataRole = Qt::UserRole;
const int kImageRole = Qt::UserRole + 1;
const int kCheckRole = Qt::UserRole + 2;
const int kBytesRole = Qt::UserRole + 3;
const char* const kExStyleProperty = "dpfExStyle";

Qt::Alignment AlignmentOf(int nFormat)
{
    switch (nFormat) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

class CListCtrl::CCellDelegate : public QStyledItemDelegate
{
public:
    CCellDelegate(CListCtrl* pList, QObject* pParent) : QStyledItemDelegate(pParent), m_pList(pList) {}

protected:
    void initStyleOption(QStyleOptionViewItem* pOption, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(pOption, index);
        COLORREF crText = GetSysColor(COLOR_WINDOWTEXT);
        COLORREF crBk = GetSysColor(COLOR_WINDOW);
        if (m_pList->OnCustomDrawSubItem(index.row(), index.column(), crText, crBk)) {
            pOption->palette.setColor(QPalette::Text, ToQColor(crText));
            pOption->backgroundBrush = QBrush(ToQColor(crBk));
        }
    }

private:
    CListCtrl* m_pList;
};

class CListCtrl::CKeyFilter : public QObject
{
public:
    CKeyFilter(CListCtrl* pList, QObject* pParent) : QObject(pParent), m_pList(pList) {}

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::KeyPress) {
            auto* pKey = static_cast<QKeyEvent*>(pEvent);
            MSG msg{WM_KEYDOWN, static_cast<WPARAM>(pKey->key() == Qt::Key_Space ? VK_SPACE : pKey->key())};
            if (m_pList->PreTranslateMessage(&msg))
                return true;
        }
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    CListCtrl* m_pList;
};

CListCtrl::CListCtrl() = default;

CListCtrl::~CListCtrl()
{
    if (m_pSetUp)
        m_pSetUp->setItemDelegate(new QStyledItemDelegate(m_pSetUp));
    delete m_pBridge.data();
}

QTableWidget* CListCtrl::Table() const
{
    return qobject_cast<QTableWidget*>(GetSafeHwnd());
}

BOOL CListCtrl::Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pTable = new QTableWidget(pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr);
    pTable->setProperty("ctrlId", nID);
    pTable->setGeometry(ToQRect(rect));
    AdoptWindow(pTable);
    SetUpTable();
    SetStyle(dwStyle);
    if (dwStyle & WS_VISIBLE)
        pTable->show();
    return TRUE;
}

void CListCtrl::PreSubclassWindow()
{
    SetUpTable();
}

void CListCtrl::SetUpTable()
{
    QTableWidget* pTable = Table();
    if (!pTable || m_pSetUp == pTable)
        return;
    m_pSetUp = pTable;
    delete m_pBridge.data();
    m_pBridge = new QObject(pTable);
    pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pTable->setSortingEnabled(false);
    pTable->setWordWrap(false);
    pTable->setShowGrid(false);
    pTable->verticalHeader()->hide();
    pTable->verticalHeader()->setDefaultSectionSize(pTable->fontMetrics().height() + 6);
    pTable->horizontalHeader()->setHighlightSections(false);
    pTable->horizontalHeader()->setMinimumSectionSize(0);
    pTable->horizontalHeader()->setSectionsClickable(true);
    pTable->setItemDelegate(new CCellDelegate(this, m_pBridge));
    pTable->installEventFilter(new CKeyFilter(this, m_pBridge));
    QObject::connect(pTable->horizontalHeader(), &QHeaderView::sectionClicked, m_pBridge,
                     [this](int nCol) { OnColumnClick(nCol); });
}

DWORD CListCtrl::GetStyle() const
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return 0;
    DWORD dwStyle = WS_CHILD | LVS_REPORT;
    if (pTable->isVisibleTo(pTable->parentWidget()))
        dwStyle |= WS_VISIBLE;
    if (pTable->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        dwStyle |= WS_HSCROLL;
    if (pTable->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff)
        dwStyle |= WS_VSCROLL;
    if (pTable->horizontalHeader()->isHidden())
        dwStyle |= LVS_NOCOLUMNHEADER;
    if (!pTable->horizontalHeader()->sectionsClickable())
        dwStyle |= LVS_NOSORTHEADER;
    return dwStyle;
}

void CListCtrl::SetStyle(DWORD dwStyle)
{
    QTableWidget* pTable = Table();
    if (!pTable)
        return;
    // A list here is always a report view; the bits that choose other views mean nothing.
    pTable->horizontalHeader()->setVisible(!(dwStyle & LVS_NOCOLUMNHEADER));
    pTable->horizontalHeader()->setSectionsClickable(!(dwStyle & LVS_NOSORTHEADER));
    pTable->setHorizontalScrollBarPolicy((dwStyle & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    pTable->setVerticalScrollBarPolicy((dwStyle & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

DWORD CListCtrl::GetExtendedStyle() const
{
    return Table() ? Table()->property(kExStyleProperty).toUInt() : 0;
}

void CListCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    if (QTableWidget* pTable = Table()) {
        pTable->setProperty(kExStyleProperty, static_cast<uint>(dwExStyle));
        pTable->setShowGrid((dwExStyle & LVS_EX_GRIDLINES) != 0);
    }
}

BOOL CListCtrl::IsHeaderClickable() const
{
    return Table() && Table()->horizontalHeader()->sectionsClickable();
}

int CListCtrl::GetHeaderItemCount() const
{
    return Table() ? Table()->columnCount() : 0;
}

int CListCtrl::InsertColumn(int nCol, const char* pszHeading, int nFormat, int nWidth, int /*nSubItem*/)
{
    QTableWidget* pTable = Table();
    if (!pTable || nCol < 0)
        return -1;
    nCol = std::min(nCol, pTable->columnCount());
    pTable->insertColumn(nCol);
    auto* pHeader = new QTableWidgetItem(ToQString(CString(pszHeading)));
    pHeader->setTextAlignment(AlignmentOf(nFormat));
    pHeader->setData(kDataRole, nFormat);
    pTable->setHorizontalHeaderItem(nCol, pHeader);
    pTable->setColumnWidth(nCol, nWidth);
    for (int nRow = 0; nRow < pTable->rowCount(); ++nRow) {
        auto* pCell = new QTableWidgetItem;
        pCell->setTextAlignment(AlignmentOf(nFormat));
        pCell->setData(kImageRole, -1);
        pTable->setItem(nRow, nCol, pCell);
    }
    return nCol;
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    QTableWidget* pTable = Table();
    if (!pTable || nCol < 0 || nCol >= pTable->columnCount())
        return FALSE;
    // The row's data value lives in the first cell: it moves to the new first cell.
    if (nCol == 0 && pTable->columnCount() > 1) {
        for (int nRow = 0; nRow < pTable->rowCount(); ++nRow)
            pTable->item(nRow, 1)->setData(kDataRole, pTable->item(nRow, 0)->data(kDataRole));
    }
    pTable->removeColumn(nCol);
    return TRUE;
}

BOOL CListCtrl::GetColumn(int nCol, CString& strHeading, int& nFormat, int& nWidth) const
{
    QTableWidget* pTable = Table();
    if (!pTable || nCol < 0 || nCol >= pTable->columnCount())
        return FALSE;
    const QTableWidgetItem* pHeader = pTable->horizontalHeaderItem(nCol);
    strHeading = pHeader ? FromQString(pHeader->text()) : CString();
    nFormat = pHeader ? pHeader->data(kDataRole).toInt() : LVCFMT_LEFT;
    nWidth = pTable->columnWidth(nCol);
    return TRUE;
}

int CListCtrl::GetItemCount() const
{
    return Table() ? Table()->rowCount() : 0;
}

bool CListCtrl::IsValidRow(int nItem) const
{
    return Table() && nItem >= 0 && nItem < Table()->rowCount();
}

bool CListCtrl::IsValidCell(int nItem, int nSubItem) const
{
    return IsValidRow(nItem) && nSubItem >= 0 && nSubItem < Table()->columnCount();
}

int CListCtrl::InsertItem(int nItem, const char* pszText)
{
    QTableWidget* pTable = Table();
    if (!pTable || nItem < 0 || pTable->columnCount() == 0)
        return -1;
    nItem = std::min(nItem, pTable->rowCount());
    pTable->insertRow(nItem);
    for (int nCol = 0; nCol < pTable->columnCount(); ++nCol) {
        auto* pCell = new QTableWidgetItem;
        const QTableWidgetItem* pHeader = pTable->horizontalHeaderItem(nCol);
        pCell->setTextAlignment(AlignmentOf(pHeader ? pHeader->data(kDataRole).toInt() : LVCFMT_LEFT));
        pCell->setData(kImageRole, -1);
        pTable->setItem(nItem, nCol, pCell);
    }
    pTable->item(nItem, 0)->setData(kDataRole, QVariant::fromValue<quintptr>(0));
    SetItemText(nItem, 0, pszText);
    return nItem;
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    if (!IsValidRow(nItem))
        return FALSE;
    Table()->removeRow(nItem);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    if (!Table())
        return FALSE;
    Table()->setRowCount(0);
    return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return CString();
    // Cells are not edited in place: the bytes given are the cell's value, shown as UTF-8.
    const QByteArray bytes = Table()->item(nItem, nSubItem)->data(kBytesRole).toByteArray();
    return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* pszText)
{
    if (!IsValidCell(nItem, nSubItem))
        return FALSE;
    const CString strText(pszText);
    QTableWidgetItem* pCell = Table()->item(nItem, nSubItem);
    pCell->setData(kBytesRole, QByteArray(strText.Bytes().data(), static_cast<qsizetype>(strText.Bytes().size())));
    pCell->setText(ToQString(strText));
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    return IsValidRow(nItem) ? static_cast<DWORD_PTR>(Table()->item(nItem, 0)->data(kDataRole).value<quintptr>()) : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    if (!IsValidRow(nItem))
        return FALSE;
    Table()->item(nItem, 0)->setData(kDataRole, QVariant::fromValue<quintptr>(dwData));
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    if (!IsValidRow(nItem))
        return 0;
    QTableWidget* pTable = Table();
    UINT nState = 0;
    if (pTable->item(nItem, 0)->isSelected())
        nState |= LVIS_SELECTED;
    if (pTable->currentRow() == nItem && pTable->selectionModel()->currentIndex().isValid())
        nState |= LVIS_FOCUSED;
    return nState & nMask;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    if (!IsValidRow(nItem))
        return FALSE;
    QTableWidget* pTable = Table();
    QItemSelectionModel* pSelection = pTable->selectionModel();
    const QModelIndex index = pTable->model()->index(nItem, 0);
    if (nMask & LVIS_SELECTED) {
        pSelection->select(index, ((nState & LVIS_SELECTED) ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                      | QItemSelectionModel::Rows);
    }
    if (nMask & LVIS_FOCUSED) {
        // The focus row moves without touching the selection, as the focus state of a list does.
        if (nState & LVIS_FOCUSED)
            pSelection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        else if (pTable->currentRow() == nItem)
            pSelection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    return TRUE;
}

BOOL CListCtrl::GetCheck(int nItem) const
{
    return IsValidRow(nItem) && Table()->item(nItem, 0)->data(kCheckRole).toBool();
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck)
{
    if (!IsValidRow(nItem))
        return FALSE;
    Table()->item(nItem, 0)->setData(kCheckRole, bCheck != FALSE);
    return TRUE;
}

int CListCtrl::GetItemImage(int nItem, int nSubItem) const
{
    return IsValidCell(nItem, nSubItem) ? Table()->item(nItem, nSubItem)->data(kImageRole).toInt() : -1;
}

BOOL CListCtrl::SetItemImage(int nItem, int nSubItem, int nImage)
{
    if (!IsValidCell(nItem, nSubItem))
        return FALSE;
    Table()->item(nItem, nSubItem)->setData(kImageRole, nImage);
    return TRUE;
}

void CListCtrl::ShowSortIndicator(int nCol, BOOL bAscending)
{
    if (QTableWidget* pTable = Table()) {
        pTable->horizontalHeader()->setSortIndicatorShown(nCol >= 0);
        pTable->horizontalHeader()->setSortIndicator(nCol, bAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void CListCtrl::OnColumnClick(int /*nCol*/)
{
}

BOOL CListCtrl::OnCustomDrawSubItem(int /*nItem*/, int /*nSubItem*/, COLORREF& /*crText*/, COLORREF& /*crBk*/)
{
    return FALSE;
}

BOOL CListCtrl::PreTranslateMessage(MSG* /*pMsg*/)
{
    return FALSE;
}
