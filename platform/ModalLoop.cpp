// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ModalLoop.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {
CModalLoop::Observer& TheObserver()
{
    static CModalLoop::Observer observer;
    return observer;
}
} // namespace

int CModalLoop::Run(QDialog* pDialog)
{
    // A window is made modal when it is shown: one shown before its loop starts would leave the sheet
    // behind it taking clicks, and an OK there would close the sheet under the open window.
    if (pDialog->isVisible() && pDialog->windowModality() == Qt::NonModal)
        pDialog->hide();
    pDialog->setWindowModality(Qt::ApplicationModal);
    if (TheObserver()) {
        // Queued, so that it runs inside the dialog's own event loop, after the dialog is shown.
        QPointer<QDialog> guard(pDialog);
        QTimer::singleShot(0, pDialog, [guard]() {
            if (guard && TheObserver())
                TheObserver()(guard.data());
        });
    }
    return pDialog->exec();
}

void CModalLoop::SetObserver(Observer observer)
{
    TheObserver() = std::move(observer);
}
