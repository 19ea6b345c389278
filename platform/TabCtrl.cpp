// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/TabCtrl.h"

#include "platform/QtBridge.h"

#include <QEvent>
#include <QFrame>
#include <QTabBar>

#include <algorithm>
#include <functional>
#include <utility>

namespace {
const int kPanePadding = 4;

// Calls back when the watched widget comes on the screen, and when it changes size.
class CContainerWatcher : public QObject
{
public:
    CContainerWatcher(QObject* pWatched, std::function<void()> onShow, std::function<void()> onResize)
        : QObject(pWatched), m_onShow(std::move(onShow)), m_onResize(std::move(onResize))
    {
        pWatched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::Show)
            m_onShow();
        else if (pEvent->type() == QEvent::Resize)
            m_onResize();
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    std::function<void()> m_onShow;
    std::function<void()> m_onResize;
};
} // namespace

BOOL CTabCtrl::Create(CWnd* pParent, int x, int y, int cxPane, int cyPane)
{
    auto* pContainer = new QWidget(pParent ? pParent->GetSafeHwnd() : nullptr);
    auto* pTabs = new QTabBar(pContainer);
    pTabs->setObjectName("tabs");
    pTabs->setExpanding(false);
    pTabs->setUsesScrollButtons(true);
    // The scroll arrows are for the mouse; the keyboard moves between tabs with the arrow keys, and
    // Tab goes on to the page.
    for (QWidget* pArrow : pTabs->findChildren<QWidget*>())
        pArrow->setFocusPolicy(Qt::NoFocus);
    // Measured with a tab in it: an empty row of tabs has no height yet.
    const int nTabHeight = MeasureHeaderHeight(pParent);
    const int nWidth = cxPane + 2 * kPanePadding;
    pTabs->setGeometry(0, 0, nWidth, nTabHeight);
    auto* pPane = new QFrame(pContainer);
    pPane->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    pPane->setGeometry(0, nTabHeight, nWidth, cyPane + 2 * kPanePadding);
    pContainer->setGeometry(x, y, nWidth, nTabHeight + cyPane + 2 * kPanePadding);
    AdoptWindow(pContainer);
    m_items.clear();
    m_nCurSel = -1;
    // A click on a tab makes it the current one; the sheet hears of it through the same signal.
    QObject::connect(pTabs, &QTabBar::currentChanged, pTabs, [this](int nIndex) { m_nCurSel = nIndex; });
    // The row of tabs and the pane take the width of the control, the pane the rest of its height.
    new CContainerWatcher(
        pContainer, [this] { Mirror(); },
        [pContainer, pTabs, pPane] {
            pTabs->resize(pContainer->width(), pTabs->height());
            pPane->setGeometry(0, pTabs->height(), pContainer->width(),
                               std::max(0, pContainer->height() - pTabs->height()));
        });
    return TRUE;
}

QTabBar* CTabCtrl::TabBar() const
{
    return GetSafeHwnd() ? GetSafeHwnd()->findChild<QTabBar*>("tabs") : nullptr;
}

bool CTabCtrl::Mirrored() const
{
    return TabBar() && GetSafeHwnd()->isVisible();
}

void CTabCtrl::Mirror()
{
    QTabBar* pTabs = TabBar();
    if (!Mirrored())
        return;
    const QSignalBlocker blocker(pTabs);
    if (pTabs->count() != static_cast<int>(m_items.size())) {
        while (pTabs->count() > 0)
            pTabs->removeTab(pTabs->count() - 1);
        for (const CString& strText : m_items)
            pTabs->addTab(ToQString(strText));
    }
    pTabs->setCurrentIndex(m_nCurSel);
}

int CTabCtrl::GetItemCount() const
{
    return static_cast<int>(m_items.size());
}

CString CTabCtrl::GetItemText(int nItem) const
{
    if (nItem < 0 || nItem >= GetItemCount())
        return CString();
    return m_items[static_cast<size_t>(nItem)];
}

int CTabCtrl::GetCurSel() const
{
    return m_nCurSel;
}

int CTabCtrl::SetCurSel(int nItem)
{
    if (!TabBar())
        return -1;
    const int nOld = m_nCurSel;
    if (nItem >= 0 && nItem < GetItemCount())
        m_nCurSel = nItem;
    if (Mirrored()) {
        const QSignalBlocker blocker(TabBar());
        TabBar()->setCurrentIndex(m_nCurSel);
    }
    return nOld;
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
    if (nItem < 0 || nItem > GetItemCount())
        nItem = GetItemCount();
    m_items.insert(m_items.begin() + nItem, CString(pszText));
    // As a row of tabs does it: the first tab becomes the current one, later ones keep it.
    if (m_items.size() == 1)
        m_nCurSel = 0;
    else if (nItem <= m_nCurSel)
        ++m_nCurSel;
    if (Mirrored()) {
        const QSignalBlocker blocker(TabBar());
        TabBar()->insertTab(nItem, ToQString(m_items[static_cast<size_t>(nItem)]));
        TabBar()->setCurrentIndex(m_nCurSel);
    }
    return TRUE;
}

int CTabCtrl::MeasureHeaderHeight(CWnd* pParent)
{
    QTabBar probe(pParent ? pParent->GetSafeHwnd() : nullptr);
    probe.addTab(QString());
    return probe.tabRect(0).height();
}
