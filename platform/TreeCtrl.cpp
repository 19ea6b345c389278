// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TreeCtrl.h"

#include "platform/QtBridge.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

const HTREEITEM TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
const HTREEITEM TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));

namespace {

const int kDataRole = Qt::UserRole;
const int kImageRole = Qt::UserRole + 1;
const int kBytesRole = Qt::UserRole + 2;

QTreeWidgetItem* Item(HTREEITEM hItem)
{
    return hItem == TVI_ROOT || hItem == TVI_LAST ? nullptr : reinterpret_cast<QTreeWidgetItem*>(hItem);
}

HTREEITEM Handle(QTreeWidgetItem* pItem)
{
    return reinterpret_cast<HTREEITEM>(pItem);
}

// The tree shows no header, so the header's own label must not count toward the column's width. Qt
// measures a section's label in bold, in case it is shown sorted: for a header nobody sees, that was
// a second font loaded and shaped before the window could show.
class CHiddenHeader : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;

protected:
    QSize sectionSizeFromContents(int nLogicalIndex) const override
    {
        return isHidden() ? QSize(0, 0) : QHeaderView::sectionSizeFromContents(nLogicalIndex);
    }
};

} // namespace

CTreeCtrl::CTreeCtrl() = default;
CTreeCtrl::~CTreeCtrl() = default;

BOOL CTreeCtrl::Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pTree = new QTreeWidget(pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr);
    pTree->setProperty("ctrlId", nID);
    pTree->setGeometry(ToQRect(rect));
    pTree->setHeader(new CHiddenHeader(Qt::Horizontal, pTree));
    pTree->setHeaderHidden(true);
    pTree->setColumnCount(1);
    // A long item makes the tree scroll sideways, as a tree control does, rather than cutting it.
    pTree->header()->setStretchLastSection(false);
    pTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    pTree->setTextElideMode(Qt::ElideNone);
    pTree->setSelectionMode(QAbstractItemView::SingleSelection);
    pTree->setRootIsDecorated((dwStyle & TVS_LINESATROOT) != 0);
    pTree->setFocusPolicy((dwStyle & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
    QObject::connect(
        pTree, &QTreeWidget::currentItemChanged, pTree,
        [this](QTreeWidgetItem* pNew, QTreeWidgetItem* pOld) { OnCurrentChanged(Handle(pNew), Handle(pOld)); });
    AdoptWindow(pTree);
    if (dwStyle & WS_VISIBLE)
        pTree->show();
    return TRUE;
}

HTREEITEM CTreeCtrl::InsertItem(const char* pszText, HTREEITEM hParent, HTREEITEM /*hInsertAfter*/)
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    if (!pTree)
        return nullptr;
    QTreeWidgetItem* pParent = Item(hParent);
    auto* pItem = pParent ? new QTreeWidgetItem(pParent) : new QTreeWidgetItem(pTree);
    const CString strText(pszText);
    pItem->setData(0, kBytesRole, QByteArray(strText.Bytes().data(), static_cast<qsizetype>(strText.Bytes().size())));
    pItem->setText(0, ToQString(strText));
    pItem->setData(0, kDataRole, QVariant::fromValue<quintptr>(0));
    pItem->setData(0, kImageRole, -1);
    return Handle(pItem);
}

int CTreeCtrl::GetItemsWidth() const
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    if (!pTree)
        return 0;
    pTree->ensurePolished();
    pTree->doItemsLayout();
    int nWidth = static_cast<const QAbstractItemView*>(pTree)->sizeHintForColumn(0) + 2 * pTree->frameWidth();
    int nHeight = 0;
    for (QTreeWidgetItemIterator it(pTree); *it && nHeight <= pTree->viewport()->height(); ++it)
        nHeight += pTree->visualItemRect(*it).height();
    if (nHeight > pTree->viewport()->height())
        nWidth += pTree->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, pTree);
    return nWidth;
}

BOOL CTreeCtrl::DeleteAllItems()
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    if (!pTree)
        return FALSE;
    // Emptying the tree is no change of selection that anyone has to approve.
    m_bReverting = true;
    pTree->clear();
    m_bReverting = false;
    return TRUE;
}

UINT CTreeCtrl::GetCount() const
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    if (!pTree)
        return 0;
    UINT nCount = 0;
    for (QTreeWidgetItemIterator it(pTree); *it; ++it)
        ++nCount;
    return nCount;
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return CString();
    const QByteArray bytes = pItem->data(0, kBytesRole).toByteArray();
    return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem ? static_cast<DWORD_PTR>(pItem->data(0, kDataRole).value<quintptr>()) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return FALSE;
    pItem->setData(0, kDataRole, QVariant::fromValue<quintptr>(dwData));
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int /*nSelectedImage*/)
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return FALSE;
    pItem->setData(0, kImageRole, nImage);
    ShowImage(hItem);
    return TRUE;
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return FALSE;
    nImage = nSelectedImage = pItem->data(0, kImageRole).toInt();
    return TRUE;
}

void CTreeCtrl::ShowImage(HTREEITEM hItem)
{
    QTreeWidgetItem* pItem = Item(hItem);
    const QPixmap* pPicture = m_pImages ? m_pImages->Picture(pItem->data(0, kImageRole).toInt()) : nullptr;
    pItem->setIcon(0, pPicture ? QIcon(*pPicture) : QIcon());
}

HTREEITEM CTreeCtrl::GetRootItem() const
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    return pTree ? Handle(pTree->topLevelItem(0)) : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM hItem) const
{
    if (hItem == TVI_ROOT)
        return GetRootItem();
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem && pItem->childCount() > 0 ? Handle(pItem->child(0)) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return nullptr;
    if (QTreeWidgetItem* pParent = pItem->parent()) {
        const int nIndex = pParent->indexOfChild(pItem);
        return nIndex + 1 < pParent->childCount() ? Handle(pParent->child(nIndex + 1)) : nullptr;
    }
    QTreeWidget* pTree = pItem->treeWidget();
    const int nIndex = pTree->indexOfTopLevelItem(pItem);
    return nIndex + 1 < pTree->topLevelItemCount() ? Handle(pTree->topLevelItem(nIndex + 1)) : nullptr;
}

HTREEITEM CTreeCtrl::GetPrevSiblingItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem)
        return nullptr;
    if (QTreeWidgetItem* pParent = pItem->parent()) {
        const int nIndex = pParent->indexOfChild(pItem);
        return nIndex > 0 ? Handle(pParent->child(nIndex - 1)) : nullptr;
    }
    QTreeWidget* pTree = pItem->treeWidget();
    const int nIndex = pTree->indexOfTopLevelItem(pItem);
    return nIndex > 0 ? Handle(pTree->topLevelItem(nIndex - 1)) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem ? Handle(pItem->parent()) : nullptr;
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    QTreeWidgetItem* pItem = Item(hItem);
    return pItem && pItem->childCount() > 0;
}

BOOL CTreeCtrl::Expand(HTREEITEM hItem, UINT nCode)
{
    QTreeWidgetItem* pItem = Item(hItem);
    if (!pItem || nCode != TVE_EXPAND)
        return FALSE;
    pItem->setExpanded(true);
    return TRUE;
}

HTREEITEM CTreeCtrl::GetSelectedItem() const
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    return pTree ? Handle(pTree->currentItem()) : nullptr;
}

BOOL CTreeCtrl::SelectItem(HTREEITEM hItem)
{
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    if (!pTree)
        return FALSE;
    pTree->setCurrentItem(Item(hItem));
    return pTree->currentItem() == Item(hItem);
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
    if (nImageListType != TVSIL_NORMAL)
        return nullptr;
    CImageList* pOld = m_pImages;
    m_pImages = pImageList;
    auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd());
    if (pTree) {
        int cx = 16;
        int cy = 16;
        if (pImageList)
            pImageList->GetImageSize(cx, cy);
        pTree->setIconSize(QSize(cx, cy));
        for (QTreeWidgetItemIterator it(pTree); *it; ++it)
            ShowImage(Handle(*it));
    }
    return pOld;
}

LRESULT CTreeCtrl::Notify(UINT nCode, HTREEITEM hOld, HTREEITEM hNew)
{
    CWnd* pParent = GetParent();
    if (!pParent)
        return 0;
    NMTREEVIEW nm{{GetSafeHwnd(), static_cast<UINT>(GetDlgCtrlID()), nCode},
                  {hOld, GetItemData(hOld)},
                  {hNew, GetItemData(hNew)}};
    return pParent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&nm));
}

void CTreeCtrl::OnCurrentChanged(HTREEITEM hNew, HTREEITEM hOld)
{
    if (m_bReverting)
        return;
    if (Notify(TVN_SELCHANGING, hOld, hNew) != 0) {
        // Refused: the selection goes back where it was, with no further announcement.
        m_bReverting = true;
        if (auto* pTree = qobject_cast<QTreeWidget*>(GetSafeHwnd()))
            pTree->setCurrentItem(Item(hOld));
        m_bReverting = false;
        return;
    }
    Notify(TVN_SELCHANGED, hOld, hNew);
}
