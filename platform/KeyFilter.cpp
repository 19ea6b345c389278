// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

// Qt's codes for letters, digits and space are the virtual keys already; Shift+Tab is Tab.
int VirtualKey(int nKey)
{
    switch (nKey) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    default:
        return nKey;
    }
}

} // namespace

CKeyFilter::CKeyFilter(QObject* pParent, Handler handler) : QObject(pParent), m_handler(std::move(handler)) {}

bool CKeyFilter::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::KeyPress)
        return QObject::eventFilter(pWatched, pEvent);
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    if (!pWidget)
        return false;
    const auto* pKey = static_cast<QKeyEvent*>(pEvent);
    MSG msg{WM_KEYDOWN, static_cast<WPARAM>(VirtualKey(pKey->key()))};
    return m_handler(pWidget, *pKey, msg);
}
