#include "platform/TabCtrl.h"

#include "platform/QtBridge.h"

#include <QFrame>
#include <QTabBar>

namespace {
const int kPanePadding = 4;
} // namespace

BOOL CTabCtrl::Create(CWnd* pParent, int x, int y, int cxPane, int cyPane)
{
    auto* pContainer = new QWidget(pParent ? pParent->GetSafeHwnd() : nullptr);
    auto* pTabs = new QTabBar(pContainer);
    pTabs->setObjectName("tabs");
    pTabs->setExpanding(false);
    pTabs->setUsesScrollButtons(true);
    // Measured with a tab in it: an empty row of tabs has no height yet.
    const int nTabHeight = MeasureHeaderHeight(pParent);
    const int nWidth = cxPane + 2 * kPanePadding;
    pTabs->setGeometry(0, 0, nWidth, nTabHeight);
    auto* pPane = new QFrame(pContainer);
    pPane->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    pPane->setGeometry(0, nTabHeight, nWidth, cyPane + 2 * kPanePadding);
    pContainer->setGeometry(x, y, nWidth, nTabHeight + cyPane + 2 * kPanePadding);
    AdoptWindow(pContainer);
    return TRUE;
}

QTabBar* CTabCtrl::TabBar() const
{
    return GetSafeHwnd() ? GetSafeHwnd()->findChild<QTabBar*>("tabs") : nullptr;
}

int CTabCtrl::GetItemCount() const
{
    return TabBar() ? TabBar()->count() : 0;
}

CString CTabCtrl::GetItemText(int nItem) const
{
    if (!TabBar() || nItem < 0 || nItem >= GetItemCount())
        return CString();
    const QByteArray bytes = TabBar()->tabData(nItem).toByteArray();
    return CString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
}

int CTabCtrl::GetItemImage(int /*nItem*/) const
{
    return -1;
}

int CTabCtrl::GetCurSel() const
{
    return TabBar() ? TabBar()->currentIndex() : -1;
}

int CTabCtrl::SetCurSel(int nItem)
{
    if (!TabBar())
        return -1;
    const int nOld = TabBar()->currentIndex();
    const QSignalBlocker blocker(TabBar());
    TabBar()->setCurrentIndex(nItem);
    return nOld;
}

BOOL CTabCtrl::GetItemRect(int nItem, CRect& rect) const
{
    if (!TabBar() || nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    rect = FromQRect(TabBar()->tabRect(nItem));
    return TRUE;
}

CRect CTabCtrl::GetPageArea() const
{
    if (!TabBar())
        return CRect();
    const QRect container = GetSafeHwnd()->geometry();
    const int nTop = container.top() + TabBar()->height() + kPanePadding;
    return CRect(container.left() + kPanePadding, nTop, container.right() + 1 - kPanePadding,
                 container.bottom() + 1 - kPanePadding);
}

BOOL CTabCtrl::InsertItem(int nItem, const char* pszText)
{
    if (!TabBar())
        return FALSE;
    const QSignalBlocker blocker(TabBar());
    const CString strText(pszText);
    const int nIndex = TabBar()->insertTab(nItem, ToQString(strText));
    TabBar()->setTabData(nIndex, QByteArray(strText.Bytes().data(), static_cast<qsizetype>(strText.Bytes().size())));
    return TRUE;
}

BOOL CTabCtrl::DeleteItem(int nItem)
{
    if (!TabBar() || nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    const QSignalBlocker blocker(TabBar());
    TabBar()->removeTab(nItem);
    return TRUE;
}

int CTabCtrl::MeasureHeaderHeight(CWnd* pParent)
{
    QTabBar probe(pParent ? pParent->GetSafeHwnd() : nullptr);
    probe.addTab(QString());
    return probe.tabRect(0).height();
}
