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
