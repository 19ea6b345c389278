// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Key presses offered to a window as WM_KEYDOWN messages before the widget they were meant for sees
// them, as a dialog or a control checks its messages first. Used inside the platform layer only.

#include "platform/AfxTypes.h"

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

class CKeyFilter : public QObject
{
public:
    // Returns true when the key was taken, and then the widget never gets it.
    using Handler = std::function<bool(QWidget* pWatched, const QKeyEvent& key, MSG& msg)>;

    CKeyFilter(QObject* pParent, Handler handler);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    Handler m_handler;
};
