#include "platform/KeyFilter.h"

#include <QKeyEvent>
#include <QWidget>

CKeyFilter::CKeyFilter(QObject* pParent, Handler handler) : QObject(pParent), m_handler(std::move(handler)) {}

bool CKeyFilter::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::KeyPress)
        return QObject::eventFilter(pWatched, pEvent);
    auto* pWidget = qobject_cast<QWidget*>(pWatched);
    if (!pWidget)
        return false;
    const auto* pKey = static_cast<QKeyEvent*>(pEvent);
    // Qt's codes for letters, digits and space are the virtual keys already; Shift+Tab is Tab.
    const int nKey = pKey->key();
    MSG msg{WM_KEYDOWN, static_cast<WPARAM>(nKey == Qt::Key_Tab || nKey == Qt::Key_Backtab ? VK_TAB : nKey)};
    return m_handler(pWidget, *pKey, msg);
}
