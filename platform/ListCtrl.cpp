// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ListCtrl.h"

#include "platform/KeyFilter.h"

#include "platform/QtBridge.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QTableView>

#include <memory_resource>
#include <string>
#include <vector>

namespace {

const char* const kExStyleProperty = "dpfExStyle";

// The rows a column is measured by: the first ones, as many as Qt's own fit to contents reads, so
// that a heavy card's 10,000 addresses cost no more to fit than a thousand.
const int kMeasuredRows = 1000;

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

// The rows and columns of a list. Cells keep the bytes they were given; the view's text is made from
// them (as UTF-8) when it asks, which it does only for the rows on the screen, so a list of 10,000
// rows holds one string per cell, not two. Each row has its data value and check mark. Rows live in a
// vector, so reaching a cell by row and column costs the same for the first row and the ten-thousandth.
// Their cells and texts come from one pool per list, handed back whole when the list is emptied:
// allocated and freed one by one, the heavy card's 40,000 rows cost more in the allocator than in
// the list.
//
// Rows added at the end, as a page adds a stored list one entry at a time, are told to the view
// together: before anything else changes the rows or asks the view about them, before the view
// paints, or when the event loop next runs. Row by row, the view's bookkeeping of each new row cost
// more than the list itself (a heavy card's Address Book adds 30,000 rows).
class CListModel : public QAbstractTableModel
{
public:
    struct Cell
    {
        using allocator_type = std::pmr::polymorphic_allocator<char>;
        explicit Cell(const allocator_type& allocator) : bytes(allocator) {}
        Cell(const Cell& other, const allocator_type& allocator) : bytes(other.bytes, allocator), nImage(other.nImage)
        {}
        Cell(Cell&& other, const allocator_type& allocator)
            : bytes(std::move(other.bytes), allocator), nImage(other.nImage)
        {}

        std::pmr::string bytes;
        int nImage = -1;
    };
    struct Row
    {
        explicit Row(std::pmr::memory_resource* pPool) : cells(pPool) {}

        std::pmr::vector<Cell> cells;
        DWORD_PTR dwData = 0;
        bool bChecked = false;
    };
    struct Column
    {
        QString heading;
        int nFormat = LVCFMT_LEFT;
        int nContentWidth = 0; // what its heading and widest cell need, as last measured
        bool bSizedByUser = false; // dragged to a width of the user's choice, which a new fit keeps
    };

    explicit CListModel(QObject* pParent) : QAbstractTableModel(pParent) {}

    // The rows the view has been told of.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_nAnnounced;
    }
    // Every row, told or not.
    int RowTotal() const { return static_cast<int>(m_rows.size()); }
    // Tells the view of the rows added at the end since it last heard.
    void Announce()
    {
        if (m_nAnnounced == RowTotal())
            return;
        beginInsertRows(QModelIndex(), m_nAnnounced, RowTotal() - 1);
        m_nAnnounced = RowTotal();
        endInsertRows();
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
    }
    QVariant data(const QModelIndex& index, int nRole) const override
    {
        if (!index.isValid())
            return QVariant();
        if (nRole == Qt::DisplayRole) {
            const std::pmr::string& bytes
                = m_rows[static_cast<size_t>(index.row())].cells[static_cast<size_t>(index.column())].bytes;
            return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        }
        if (nRole == Qt::TextAlignmentRole)
            return QVariant::fromValue(AlignmentOf(m_columns[static_cast<size_t>(index.column())].nFormat));
        return QVariant();
    }
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override
    {
        if (orientation != Qt::Horizontal || nSection < 0 || nSection >= columnCount())
            return QVariant();
        if (nRole == Qt::DisplayRole)
            return m_columns[static_cast<size_t>(nSection)].heading;
        if (nRole == Qt::TextAlignmentRole)
            return QVariant::fromValue(AlignmentOf(m_columns[static_cast<size_t>(nSection)].nFormat));
        return QVariant();
    }

    void InsertColumnAt(int nCol, const QString& heading, int nFormat)
    {
        Announce();
        beginInsertColumns(QModelIndex(), nCol, nCol);
        m_columns.insert(m_columns.begin() + nCol, Column{heading, nFormat});
        for (Row& row : m_rows)
            row.cells.insert(row.cells.begin() + nCol, Cell(&m_pool));
        endInsertColumns();
    }
    void RemoveColumnAt(int nCol)
    {
        Announce();
        beginRemoveColumns(QModelIndex(), nCol, nCol);
        m_columns.erase(m_columns.begin() + nCol);
        for (Row& row : m_rows)
            row.cells.erase(row.cells.begin() + nCol);
        endRemoveColumns();
    }
    // A new row comes with its first cell's text, so that the view hears of it once, not twice.
    void InsertRowAt(int nRow, const char* pszFirst)
    {
        Row row(&m_pool);
        row.cells.resize(m_columns.size());
        row.cells.front().bytes = pszFirst;
        if (nRow == RowTotal()) {
            m_rows.push_back(std::move(row));
            if (!m_bAnnounceQueued) {
                m_bAnnounceQueued = true;
                QMetaObject::invokeMethod(
                    this,
                    [this]() {
                        m_bAnnounceQueued = false;
                        Announce();
                    },
                    Qt::QueuedConnection);
            }
            return;
        }
        Announce();
        beginInsertRows(QModelIndex(), nRow, nRow);
        m_rows.insert(m_rows.begin() + nRow, std::move(row));
        ++m_nAnnounced;
        endInsertRows();
    }
    void RemoveRowAt(int nRow)
    {
        Announce();
        beginRemoveRows(QModelIndex(), nRow, nRow);
        m_rows.erase(m_rows.begin() + nRow);
        --m_nAnnounced;
        endRemoveRows();
    }
    void RemoveAllRows()
    {
        beginResetModel();
        m_rows.clear();
        m_pool.release();
        m_nAnnounced = 0;
        endResetModel();
    }
    void SetText(int nRow, int nCol, const char* pszText)
    {
        m_rows[static_cast<size_t>(nRow)].cells[static_cast<size_t>(nCol)].bytes = pszText ? pszText : "";
        if (nRow < m_nAnnounced)
            emit dataChanged(index(nRow, nCol), index(nRow, nCol), {Qt::DisplayRole});
    }
    // A sort: the rows are moved, not rewritten cell by cell, and every persistent index (the view's
    // selection and current row among them) moves with its row.
    void MoveRows(int nFirst, const std::vector<int>& order)
    {
        Announce();
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<Row> moved;
        moved.reserve(order.size());
        std::vector<int> newRowOf(order.size());
        for (size_t k = 0; k < order.size(); ++k) {
            moved.push_back(std::move(m_rows[static_cast<size_t>(order[k])]));
            newRowOf[static_cast<size_t>(order[k] - nFirst)] = nFirst + static_cast<int>(k);
        }
        std::move(moved.begin(), moved.end(), m_rows.begin() + nFirst);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& old : from) {
            const int nOffset = old.row() - nFirst;
            to.append(nOffset >= 0 && nOffset < static_cast<int>(order.size())
                          ? index(newRowOf[static_cast<size_t>(nOffset)], old.column())
                          : old);
        }
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    Row& RowAt(int nRow) { return m_rows[static_cast<size_t>(nRow)]; }
    const Row& RowAt(int nRow) const { return m_rows[static_cast<size_t>(nRow)]; }
    const Column& ColumnAt(int nCol) const { return m_columns[static_cast<size_t>(nCol)]; }
    Column& ColumnAt(int nCol) { return m_columns[static_cast<size_t>(nCol)]; }

private:
    // Before the rows, which it outlives. What a row gives back is reused only once the list is empty.
    std::pmr::monotonic_buffer_resource m_pool;
    std::vector<Row> m_rows;
    std::vector<Column> m_columns;
    int m_nAnnounced = 0;
    bool m_bAnnounceQueued = false;
};

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

struct CListCtrl::CTableLink
{
    QPointer<QTableView> setUp;
    QPointer<QObject> bridge;
    CListModel* pModel = nullptr; // the model of setUp, which owns it
    bool bFitQueued = false;
    bool bSizing = false; // while the list itself sets a column's width
};

// Tells the list when its table's viewport changed size, and when the table's font or style (and
// with them what its texts need) changed.
class CListCtrl::CViewportWatcher : public QObject
{
public:
    CViewportWatcher(CListCtrl* pList, QObject* pParent) : QObject(pParent), m_pList(pList) {}

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange) {
            m_pList->OnFontChanged();
            return QObject::eventFilter(pWatched, pEvent);
        }
        if (pEvent->type() == QEvent::Resize)
            m_pList->FillLastColumn();
        // The view paints every row there is, also when the queued word has not come yet, and at the
        // widths they need: the first picture of a list is not one with the widths of before.
        if (pEvent->type() == QEvent::Paint && m_pList->Model()) {
            m_pList->Model()->Announce();
            if (m_pList->m_pLink->bFitQueued)
                m_pList->FitColumns();
        }
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    CListCtrl* m_pList;
};

CListCtrl::CListCtrl() : m_pLink(std::make_unique<CTableLink>()) {}

CListCtrl::~CListCtrl()
{
    if (m_pLink->setUp)
        m_pLink->setUp->setItemDelegate(new QStyledItemDelegate(m_pLink->setUp));
    delete m_pLink->bridge.data();
}

// Every call on a list reaches its table and model, many for each row a page adds or writes: the
// table this list set up is known without asking Qt for its type.
QTableView* CListCtrl::Table() const
{
    QWidget* pWindow = GetSafeHwnd();
    if (pWindow && pWindow == m_pLink->setUp.data())
        return m_pLink->setUp.data();
    return qobject_cast<QTableView*>(pWindow);
}

CListModel* CListCtrl::Model() const
{
    QWidget* pWindow = GetSafeHwnd();
    return pWindow && pWindow == m_pLink->setUp.data() ? m_pLink->pModel : nullptr;
}

BOOL CListCtrl::Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pTable = new QTableView(pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr);
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
    QTableView* pTable = Table();
    if (!pTable || m_pLink->setUp == pTable)
        return;
    m_pLink->setUp = pTable;
    delete m_pLink->bridge.data();
    m_pLink->bridge = new QObject(pTable);
    m_pLink->pModel = new CListModel(pTable);
    pTable->setModel(m_pLink->pModel);
    pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the list for the next control, as in any dialog; the arrow keys move between rows.
    pTable->setTabKeyNavigation(false);
    pTable->setSortingEnabled(false);
    pTable->setWordWrap(false);
    pTable->setShowGrid(false);
    pTable->verticalHeader()->hide();
    pTable->verticalHeader()->setDefaultSectionSize(pTable->fontMetrics().height() + 6);
    // Columns are sized by what they show (FitColumns), not by the header.
    pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    pTable->horizontalHeader()->setStretchLastSection(false);
    pTable->horizontalHeader()->setHighlightSections(false);
    pTable->horizontalHeader()->setMinimumSectionSize(0);
    pTable->horizontalHeader()->setSectionsClickable(true);
    pTable->setItemDelegate(new CCellDelegate(this, m_pLink->bridge));
    pTable->installEventFilter(new CKeyFilter(
        m_pLink->bridge, [this](QWidget*, const QKeyEvent&, MSG& msg) { return PreTranslateMessage(&msg) != FALSE; }));
    auto* pWatcher = new CViewportWatcher(this, m_pLink->bridge);
    pTable->viewport()->installEventFilter(pWatcher);
    pTable->installEventFilter(pWatcher);
    QObject::connect(pTable->horizontalHeader(), &QHeaderView::sectionClicked, m_pLink->bridge,
                     [this](int nCol) { OnColumnClick(nCol); });
    // A column the user dragged keeps the width given it; the last one still takes the rest.
    QObject::connect(pTable->horizontalHeader(), &QHeaderView::sectionResized, m_pLink->bridge, [this](int nCol) {
        CListModel* pModel = Model();
        if (!pModel || m_pLink->bSizing || nCol >= pModel->columnCount() - 1)
            return;
        pModel->ColumnAt(nCol).bSizedByUser = true;
        FillLastColumn();
    });
}

DWORD CListCtrl::GetStyle() const
{
    QTableView* pTable = Table();
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
    QTableView* pTable = Table();
    if (!pTable)
        return;
    // A list here is always a report view; the bits that choose other views mean nothing.
    pTable->horizontalHeader()->setVisible(!(dwStyle & LVS_NOCOLUMNHEADER));
    pTable->horizontalHeader()->setSectionsClickable(!(dwStyle & LVS_NOSORTHEADER));
    pTable->setHorizontalScrollBarPolicy((dwStyle & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    pTable->setVerticalScrollBarPolicy((dwStyle & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // A heading that sorts keeps room for the sort arrow.
    QueueFit();
}

DWORD CListCtrl::GetExtendedStyle() const
{
    return Table() ? Table()->property(kExStyleProperty).toUInt() : 0;
}

void CListCtrl::SetExtendedStyle(DWORD dwExStyle)
{
    if (QTableView* pTable = Table()) {
        pTable->setProperty(kExStyleProperty, static_cast<uint>(dwExStyle));
        pTable->setShowGrid((dwExStyle & LVS_EX_GRIDLINES) != 0);
        // A grid line takes a pixel of each cell.
        QueueFit();
    }
}

BOOL CListCtrl::IsHeaderClickable() const
{
    return Table() && Table()->horizontalHeader()->sectionsClickable();
}

int CListCtrl::GetHeaderItemCount() const
{
    return Model() ? Model()->columnCount() : 0;
}

int CListCtrl::InsertColumn(int nCol, const char* pszHeading, int nFormat, int /*nWidth*/, int /*nSubItem*/)
{
    CListModel* pModel = Model();
    if (!pModel || nCol < 0)
        return -1;
    nCol = std::min(nCol, pModel->columnCount());
    pModel->InsertColumnAt(nCol, ToQString(CString(pszHeading)), nFormat);
    FitColumns();
    return nCol;
}

BOOL CListCtrl::DeleteColumn(int nCol)
{
    CListModel* pModel = Model();
    if (!pModel || nCol < 0 || nCol >= pModel->columnCount())
        return FALSE;
    pModel->RemoveColumnAt(nCol);
    FitColumns();
    return TRUE;
}

// A column's width at the header's font, with room for the sort arrow where a click can sort, measured
// as the header measures its sections (in bold, which some styles draw a section in).
int CListCtrl::HeadingWidth(int nCol) const
{
    QHeaderView* pHeader = Table()->horizontalHeader();
    if (pHeader->isHidden())
        return 0;
    QStyleOptionHeader option;
    option.initFrom(pHeader);
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal | QStyle::State_Raised;
    option.section = nCol;
    option.text = Model()->ColumnAt(nCol).heading;
    option.textAlignment = AlignmentOf(Model()->ColumnAt(nCol).nFormat);
    QFont font = pHeader->font();
    font.setBold(true);
    option.fontMetrics = QFontMetrics(font);
    if (pHeader->sectionsClickable())
        option.sortIndicator = QStyleOptionHeader::SortDown;
    return pHeader->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), pHeader).width();
}

// The width the widest of a column's first rows needs at the list's font, with the margins its cells
// are drawn with. The widest text is found by its advance alone; only its cell is asked of the
// delegate, which knows the margins, so a long list costs one text measurement per cell.
int CListCtrl::CellsWidth(int nCol) const
{
    CListModel* pModel = Model();
    QTableView* pTable = Table();
    const int nRows = std::min(pModel->RowTotal(), kMeasuredRows);
    const QFontMetrics metrics = pTable->fontMetrics();
    int nWidest = -1;
    int nWidestAdvance = -1;
    for (int nRow = 0; nRow < nRows; ++nRow) {
        const std::pmr::string& bytes = pModel->RowAt(nRow).cells[static_cast<size_t>(nCol)].bytes;
        const int nAdvance = bytes.empty()
            ? 0
            : metrics.horizontalAdvance(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
        if (nAdvance > nWidestAdvance) {
            nWidestAdvance = nAdvance;
            nWidest = nRow;
        }
    }
    if (nWidest < 0)
        return 0;
    pModel->Announce();
    QStyleOptionViewItem option;
    option.initFrom(pTable);
    option.font = pTable->font();
    option.fontMetrics = metrics;
    option.textElideMode = pTable->textElideMode();
    option.displayAlignment = AlignmentOf(pModel->ColumnAt(nCol).nFormat);
    const QModelIndex index = pModel->index(nWidest, nCol);
    const int nWidth = pTable->itemDelegateForIndex(index)->sizeHint(option, index).width();
    // A grid line is drawn inside the cell, at its right edge.
    return pTable->showGrid() ? nWidth + 1 : nWidth;
}

void CListCtrl::QueueFit()
{
    if (!Model() || m_pLink->bFitQueued)
        return;
    m_pLink->bFitQueued = true;
    QMetaObject::invokeMethod(
        m_pLink->bridge,
        [this]() {
            if (m_pLink->bFitQueued)
                FitColumns();
        },
        Qt::QueuedConnection);
}

void CListCtrl::SetColumnWidth(int nCol, int nWidth)
{
    m_pLink->bSizing = true;
    Table()->setColumnWidth(nCol, nWidth);
    m_pLink->bSizing = false;
}

void CListCtrl::FitColumns()
{
    m_pLink->bFitQueued = false;
    CListModel* pModel = Model();
    const int nColumns = pModel ? pModel->columnCount() : 0;
    for (int nCol = 0; nCol < nColumns; ++nCol) {
        CListModel::Column& column = pModel->ColumnAt(nCol);
        column.nContentWidth = std::max(HeadingWidth(nCol), CellsWidth(nCol));
        if (nCol + 1 < nColumns && !column.bSizedByUser)
            SetColumnWidth(nCol, column.nContentWidth);
    }
    FillLastColumn();
}

void CListCtrl::FillLastColumn()
{
    CListModel* pModel = Model();
    const int nColumns = pModel ? pModel->columnCount() : 0;
    if (nColumns == 0)
        return;
    QTableView* pTable = Table();
    int nOthers = 0;
    for (int i = 0; i + 1 < nColumns; ++i)
        nOthers += pTable->columnWidth(i);
    // Never narrower than its content: a list too narrow for its columns scrolls sideways instead.
    const int nLast = nColumns - 1;
    SetColumnWidth(nLast, std::max(pModel->ColumnAt(nLast).nContentWidth, pTable->viewport()->width() - nOthers));
}

void CListCtrl::OnFontChanged()
{
    if (QTableView* pTable = Model() ? Table() : nullptr) {
        pTable->verticalHeader()->setDefaultSectionSize(pTable->fontMetrics().height() + 6);
        QueueFit();
    }
}

int CListCtrl::GetItemCount() const
{
    return Model() ? Model()->RowTotal() : 0;
}

bool CListCtrl::IsValidRow(int nItem) const
{
    return RowModel(nItem) != nullptr;
}

bool CListCtrl::IsValidCell(int nItem, int nSubItem) const
{
    return CellModel(nItem, nSubItem) != nullptr;
}

// A page reads and writes its lists cell by cell, tens of thousands of times on a heavy card: the
// model is looked up once for each.
CListModel* CListCtrl::RowModel(int nItem) const
{
    CListModel* pModel = Model();
    return pModel && nItem >= 0 && nItem < pModel->RowTotal() ? pModel : nullptr;
}

CListModel* CListCtrl::CellModel(int nItem, int nSubItem) const
{
    CListModel* pModel = RowModel(nItem);
    return pModel && nSubItem >= 0 && nSubItem < pModel->columnCount() ? pModel : nullptr;
}

int CListCtrl::InsertItem(int nItem, const char* pszText)
{
    CListModel* pModel = Model();
    if (!pModel || nItem < 0 || pModel->columnCount() == 0)
        return -1;
    nItem = std::min(nItem, pModel->RowTotal());
    pModel->InsertRowAt(nItem, pszText ? pszText : "");
    QueueFit();
    return nItem;
}

BOOL CListCtrl::DeleteItem(int nItem)
{
    if (!IsValidRow(nItem))
        return FALSE;
    Model()->RemoveRowAt(nItem);
    QueueFit();
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems()
{
    if (!Model())
        return FALSE;
    Model()->RemoveAllRows();
    QueueFit();
    return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return CString();
    return CString(Model()->RowAt(nItem).cells[static_cast<size_t>(nSubItem)].bytes.c_str());
}

const char* CListCtrl::GetItemTextPtr(int nItem, int nSubItem) const
{
    const CListModel* pModel = CellModel(nItem, nSubItem);
    return pModel ? pModel->RowAt(nItem).cells[static_cast<size_t>(nSubItem)].bytes.c_str() : "";
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* pszText)
{
    CListModel* pModel = CellModel(nItem, nSubItem);
    if (!pModel)
        return FALSE;
    pModel->SetText(nItem, nSubItem, pszText);
    QueueFit();
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    const CListModel* pModel = RowModel(nItem);
    return pModel ? pModel->RowAt(nItem).dwData : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    CListModel* pModel = RowModel(nItem);
    if (!pModel)
        return FALSE;
    pModel->RowAt(nItem).dwData = dwData;
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
    if (!IsValidRow(nItem))
        return 0;
    Model()->Announce();
    QItemSelectionModel* pSelection = Table()->selectionModel();
    UINT nState = 0;
    if (pSelection->isRowSelected(nItem, QModelIndex()))
        nState |= LVIS_SELECTED;
    if (pSelection->currentIndex().isValid() && pSelection->currentIndex().row() == nItem)
        nState |= LVIS_FOCUSED;
    return nState & nMask;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    if (!IsValidRow(nItem))
        return FALSE;
    Model()->Announce();
    QItemSelectionModel* pSelection = Table()->selectionModel();
    const QModelIndex index = Model()->index(nItem, 0);
    if (nMask & LVIS_SELECTED) {
        const bool bSelect = (nState & LVIS_SELECTED) != 0;
        if (bSelect != pSelection->isRowSelected(nItem, QModelIndex()))
            pSelection->select(index,
                               (bSelect ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                   | QItemSelectionModel::Rows);
    }
    if (nMask & LVIS_FOCUSED) {
        // The focus row moves without touching the selection, as the focus state of a list does.
        if (nState & LVIS_FOCUSED)
            pSelection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        else if (pSelection->currentIndex().isValid() && pSelection->currentIndex().row() == nItem)
            pSelection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    }
    return TRUE;
}

BOOL CListCtrl::GetCheck(int nItem) const
{
    return IsValidRow(nItem) && Model()->RowAt(nItem).bChecked;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck)
{
    if (!IsValidRow(nItem))
        return FALSE;
    Model()->RowAt(nItem).bChecked = bCheck != FALSE;
    return TRUE;
}

int CListCtrl::GetItemImage(int nItem, int nSubItem) const
{
    return IsValidCell(nItem, nSubItem) ? Model()->RowAt(nItem).cells[static_cast<size_t>(nSubItem)].nImage : -1;
}

BOOL CListCtrl::SetItemImage(int nItem, int nSubItem, int nImage)
{
    if (!IsValidCell(nItem, nSubItem))
        return FALSE;
    Model()->RowAt(nItem).cells[static_cast<size_t>(nSubItem)].nImage = nImage;
    return TRUE;
}

void CListCtrl::MoveRows(int nFirst, const std::vector<int>& order)
{
    CListModel* pModel = Model();
    if (!pModel || nFirst < 0 || nFirst + static_cast<int>(order.size()) > pModel->RowTotal())
        return;
    pModel->MoveRows(nFirst, order);
    // Other rows stand first now, and the first rows are the ones measured.
    QueueFit();
}

void CListCtrl::ShowSortIndicator(int nCol, BOOL bAscending)
{
    if (QTableView* pTable = Table()) {
        pTable->horizontalHeader()->setSortIndicatorShown(nCol >= 0);
        pTable->horizontalHeader()->setSortIndicator(nCol, bAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void CListCtrl::OnColumnClick(int /*nCol*/) {}

BOOL CListCtrl::OnCustomDrawSubItem(int /*nItem*/, int /*nSubItem*/, COLORREF& /*crText*/, COLORREF& /*crBk*/)
{
    return FALSE;
}

BOOL CListCtrl::PreTranslateMessage(MSG* /*pMsg*/)
{
    return FALSE;
}
