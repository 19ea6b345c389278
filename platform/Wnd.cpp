// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Wnd.h"

#include "platform/Accessibility.h"
#include "platform/ModalLoop.h"
#include "platform/QtBridge.h"

#include "platform/Font.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPen>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace {

const char* const kIdProperty = "ctrlId";
const char* const kOwnerProperty = "dpfWnd";

void Register(QWidget* pWidget, CWnd* pWnd)
{
    if (pWidget)
        pWidget->setProperty(kOwnerProperty, QVariant::fromValue(reinterpret_cast<quintptr>(pWnd)));
}

QWidget* FindControl(QWidget* pParent, int nID)
{
    if (!pParent)
        return nullptr;
    const auto children = pParent->findChildren<QWidget*>();
    for (QWidget* pChild : children) {
        bool bOk = false;
        const int nChildID = pChild->property(kIdProperty).toInt(&bOk);
        if (bOk && nChildID == nID)
            return pChild;
    }
    return nullptr;
}

} // namespace

struct CWnd::CWndState
{
    QPointer<QWidget> hWnd;
    std::map<UINT, QPointer<QObject>> timers;
};

CWnd::CWnd() : m_pState(std::make_unique<CWndState>()) {}

HWND CWnd::GetSafeHwnd() const
{
    return m_pState->hWnd.data();
}

CWnd::~CWnd()
{
    // A window this object only stands for outlives it: its timers must not call a gone object.
    for (auto& timer : m_pState->timers)
        delete timer.second.data();
    DestroyWindow();
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    const auto itSub = m_mapSubclassed.find(nID);
    if (itSub != m_mapSubclassed.end() && itSub->second->GetSafeHwnd())
        return itSub->second;
    auto it = m_mapItems.find(nID);
    if (it != m_mapItems.end() && it->second->GetSafeHwnd())
        return it->second.get();
    QWidget* pControl = FindControl(m_pState->hWnd.data(), nID);
    if (!pControl)
        return nullptr;
    auto pItem = std::make_unique<CWnd>();
    pItem->Attach(pControl);
    CWnd* pResult = pItem.get();
    m_mapItems[nID] = std::move(pItem);
    return pResult;
}

int CWnd::GetDlgCtrlID() const
{
    return m_pState->hWnd ? m_pState->hWnd->property(kIdProperty).toInt() : 0;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_pState->hWnd)
        return FALSE;
    const BOOL bWasDisabled = !m_pState->hWnd->isEnabled();
    m_pState->hWnd->setEnabled(bEnable != FALSE);
    return bWasDisabled;
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_pState->hWnd)
        return FALSE;
    const BOOL bWasVisible = m_pState->hWnd->isVisible();
    m_pState->hWnd->setVisible(nCmdShow != SW_HIDE);
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_pState->hWnd && m_pState->hWnd->isVisible();
}

void CWnd::SetWindowText(const char* pszText)
{
    SetControlText(m_pState->hWnd.data(), CString(pszText));
}

void CWnd::GetWindowText(CString& rString) const
{
    rString = GetControlText(m_pState->hWnd.data());
}

LRESULT CWnd::SendMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return WindowProc(nMsg, wParam, lParam);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? reinterpret_cast<CWnd*>(hWnd->property(kOwnerProperty).value<quintptr>()) : nullptr;
}

CWnd* CWnd::GetParent() const
{
    for (QWidget* p = m_pState->hWnd ? m_pState->hWnd->parentWidget() : nullptr; p; p = p->parentWidget()) {
        if (CWnd* pWnd = FromHandlePermanent(p))
            return pWnd;
    }
    return nullptr;
}

UINT CWnd::SetTimer(UINT nIDEvent, UINT nElapse)
{
    if (!m_pState->hWnd)
        return 0;
    KillTimer(nIDEvent);
    // A child of the widget, so that it stops with the window and never calls a window that is gone.
    auto* pTimer = new QTimer(m_pState->hWnd.data());
    QObject::connect(pTimer, &QTimer::timeout, m_pState->hWnd.data(), [this, nIDEvent]() { OnTimer(nIDEvent); });
    pTimer->start(static_cast<int>(nElapse));
    m_pState->timers[nIDEvent] = pTimer;
    return nIDEvent;
}

BOOL CWnd::KillTimer(UINT nIDEvent)
{
    const auto it = m_pState->timers.find(nIDEvent);
    if (it == m_pState->timers.end())
        return FALSE;
    delete it->second.data();
    m_pState->timers.erase(it);
    return TRUE;
}

void CWnd::LockWindowUpdate()
{
    if (m_pState->hWnd)
        m_pState->hWnd->setUpdatesEnabled(false);
}

void CWnd::UnlockWindowUpdate()
{
    if (m_pState->hWnd)
        m_pState->hWnd->setUpdatesEnabled(true);
}

LRESULT CWnd::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_COMMAND)
        return OnCommand(wParam, lParam);
    if (nMsg == WM_PAINT) {
        OnPaint();
        return 0;
    }
    if (nMsg == EM_SETPASSWORDCHAR) {
        if (auto* pEdit = qobject_cast<QLineEdit*>(m_pState->hWnd.data()))
            pEdit->setEchoMode(wParam ? QLineEdit::Password : QLineEdit::Normal);
        return 0;
    }
    auto* pButton = qobject_cast<QAbstractButton*>(m_pState->hWnd.data());
    if (!pButton)
        return 0;
    if (nMsg == BM_GETCHECK)
        return pButton->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    if (nMsg == BM_SETCHECK) {
        // Setting the state by message never clicks the button, so no handler runs: the handlers follow
        // the button's state changes, and the blocker keeps this one quiet. Checking a radio button
        // clears the others of its pair, so the pair never shows two choices; clearing one is allowed
        // too, which Qt's exclusive groups refuse by themselves.
        const QSignalBlocker blocker(pButton);
        if (wParam == BST_CHECKED) {
            pButton->setChecked(true);
        } else {
            const bool bExclusive = pButton->autoExclusive();
            pButton->setAutoExclusive(false);
            pButton->setChecked(false);
            pButton->setAutoExclusive(bExclusive);
        }
        KeepTabStopOnCheckedButton(pButton);
    }
    return 0;
}

namespace {

// Paints the red frame of a refused value over the field once the field has painted itself, inside
// the field's own rectangle. A style sheet would do it too, but it swaps the field's style for one
// with other margins: the field would change size, and the whole page would jump each time a value
// turned valid or invalid.
class CInvalidFrame : public QObject
{
public:
    using QObject::QObject;

    static CInvalidFrame* Instance()
    {
        static QPointer<CInvalidFrame> pFrame;
        if (!pFrame)
            pFrame = new CInvalidFrame(QCoreApplication::instance());
        return pFrame;
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        auto* pWidget = qobject_cast<QWidget*>(pWatched);
        if (pEvent->type() != QEvent::Paint || !pWidget)
            return false;
        pWatched->event(pEvent);
        QPainter painter(pWidget);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0xc0, 0, 0), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(pWidget->rect()).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        // A fainter second line inside, so that the mark reads as red and not as a dark frame.
        painter.setPen(QPen(QColor(0xc0, 0, 0, 110), 1));
        painter.drawRect(QRectF(pWidget->rect()).adjusted(1.5, 1.5, -1.5, -1.5));
        return true;
    }
};

} // namespace

void CWnd::MarkInvalid(const char* pszReason)
{
    QWidget* pWidget = m_pState->hWnd.data();
    if (!pWidget)
        return;
    const QString reason = ToQString(CString(pszReason));
    if (reason.isEmpty())
        pWidget->removeEventFilter(CInvalidFrame::Instance());
    else
        pWidget->installEventFilter(CInvalidFrame::Instance());
    pWidget->update();
    pWidget->setToolTip(reason);
    // A screen reader says the reason too, after the field's name.
    pWidget->setAccessibleDescription(reason);
}

int CWnd::MessageBox(const char* pszText, const char* pszCaption, UINT nType)
{
    return MessageBoxA(m_pState->hWnd.data(), pszText, pszCaption, nType);
}

void CWnd::Attach(HWND hWnd)
{
    DestroyWindow();
    m_pState->hWnd = hWnd;
    m_bOwnsWindow = false;
}

void CWnd::SubclassDlgItem(int nID, CWnd& rControl)
{
    rControl.Attach(FindControl(m_pState->hWnd.data(), nID));
    Register(rControl.GetSafeHwnd(), &rControl);
    m_mapSubclassed[nID] = &rControl;
    rControl.PreSubclassWindow();
}

void CWnd::AdoptWindow(HWND hWnd)
{
    DestroyWindow();
    m_pState->hWnd = hWnd;
    m_bOwnsWindow = true;
    Register(hWnd, this);
}

void CWnd::DestroyWindow()
{
    if (m_pState->hWnd) {
        // Controls go first, as they do when a dialog is destroyed; then the window itself.
        for (auto& item : m_mapSubclassed) {
            if (item.second->GetSafeHwnd())
                item.second->OnDestroy();
        }
        if (m_bOwnsWindow)
            OnDestroy();
        if (FromHandlePermanent(m_pState->hWnd.data()) == this)
            Register(m_pState->hWnd.data(), nullptr);
    }
    ForgetDlgItems();
    if (m_bOwnsWindow && m_pState->hWnd)
        delete m_pState->hWnd.data();
    m_pState->hWnd = nullptr;
    m_bOwnsWindow = false;
}

void CWnd::ForgetDlgItems()
{
    m_mapItems.clear();
    m_mapSubclassed.clear();
}

namespace {

// The window of a popup made at run time: every way of closing it becomes a command to its object.
class CPopupDialog : public QDialog
{
public:
    CPopupDialog(CWnd* pWnd, QWidget* pParent) : QDialog(pParent), m_pWnd(pWnd) {}

    void accept() override { Command(IDOK); }
    void reject() override { Command(IDCANCEL); }

protected:
    void closeEvent(QCloseEvent* pEvent) override
    {
        pEvent->ignore();
        Command(IDCANCEL);
    }

private:
    void Command(int nID) { m_pWnd->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); }
    CWnd* m_pWnd;
};

} // namespace

namespace {

// A window made at run time that leaves its painting to its object.
class CPaintedWidget : public QWidget
{
public:
    CPaintedWidget(CWnd* pWnd, QWidget* pParent) : QWidget(pParent), m_pWnd(pWnd) {}

protected:
    void paintEvent(QPaintEvent*) override { m_pWnd->SendMessage(WM_PAINT, 0, 0); }

private:
    CWnd* m_pWnd;
};

} // namespace

BOOL CWnd::Create(const char* pszWindowName, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pWidget = new CPaintedWidget(this, pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr);
    pWidget->setObjectName(ToQString(CString(pszWindowName)));
    pWidget->setProperty("ctrlId", nID);
    pWidget->setGeometry(ToQRect(rect));
    AdoptWindow(pWidget);
    // A window that clips its siblings lies beneath them: it never paints over them.
    if (dwStyle & WS_CLIPSIBLINGS)
        pWidget->lower();
    if (dwStyle & WS_VISIBLE)
        pWidget->show();
    return TRUE;
}

void CWnd::InvalidateRect(const CRect* pRect, BOOL /*bErase*/)
{
    if (!m_pState->hWnd)
        return;
    if (pRect)
        m_pState->hWnd->update(ToQRect(*pRect));
    else
        m_pState->hWnd->update();
}

CRect CWnd::GetClientRect() const
{
    return m_pState->hWnd ? CRect(0, 0, m_pState->hWnd->width(), m_pState->hWnd->height()) : CRect();
}

void CWnd::MoveWindow(const CRect& rect)
{
    MoveWindowOf(m_pState->hWnd.data(), rect);
}

std::vector<HWND> CWnd::GetChildWindows() const
{
    std::vector<HWND> children;
    if (m_pState->hWnd) {
        for (QObject* pChild : m_pState->hWnd->children()) {
            auto* pWidget = qobject_cast<QWidget*>(pChild);
            if (pWidget && !pWidget->isWindow())
                children.push_back(pWidget);
        }
    }
    return children;
}

CRect CWnd::GetWindowRectOf(HWND hWnd)
{
    return hWnd ? FromQRect(hWnd->geometry()) : CRect();
}

void CWnd::MoveWindowOf(HWND hWnd, const CRect& rect)
{
    if (!hWnd)
        return;
    if (hWnd->isWindow()) {
        // A dialog keeps its size fixed: the new size becomes its fixed size.
        hWnd->setFixedSize(rect.Width(), rect.Height());
        hWnd->move(rect.left, rect.top);
    } else {
        hWnd->setGeometry(ToQRect(rect));
    }
}

BOOL CWnd::OnCommand(WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    return FALSE;
}

BOOL CWnd::CreateEx(DWORD /*dwExStyle*/, const char* pszTitle, DWORD /*dwStyle*/, int x, int y, int cx, int cy,
                    CWnd* pParent)
{
    // Owned by the parent's top-level window, so that disabling the parent itself, as a modal popup
    // does, leaves the popup usable.
    QWidget* pOwner = pParent && pParent->GetSafeHwnd() ? pParent->GetSafeHwnd()->window() : nullptr;
    auto* pDialog = new CPopupDialog(this, pOwner);
    pDialog->setWindowTitle(ToQString(CString(pszTitle)));
    pDialog->setFixedSize(cx, cy);
    pDialog->move(x, y);
    AdoptWindow(pDialog);
    return TRUE;
}

void CWnd::CenterWindow()
{
    QWidget* pWidget = m_pState->hWnd.data();
    if (!pWidget)
        return;
    QWidget* pOwner = pWidget->parentWidget();
    const QRect area = pOwner ? pOwner->window()->geometry() : pWidget->screen()->availableGeometry();
    pWidget->move(area.center() - QPoint(pWidget->width() / 2, pWidget->height() / 2));
}

int CWnd::RunModalLoop()
{
    auto* pDialog = qobject_cast<QDialog*>(m_pState->hWnd.data());
    if (!pDialog)
        return 0;
    // Its controls are all made by now.
    NameControlsForScreenReaders(pDialog);
    return CModalLoop::Run(pDialog);
}

void CWnd::EndModalLoop(int nResult)
{
    if (auto* pDialog = qobject_cast<QDialog*>(m_pState->hWnd.data()))
        pDialog->done(nResult);
}

void CWnd::SetFont(const CFont* pFont)
{
    if (m_pState->hWnd && pFont)
        m_pState->hWnd->setFont(pFont->GetQFont());
}

void CWnd::SetFocus()
{
    if (m_pState->hWnd)
        m_pState->hWnd->setFocus(Qt::OtherFocusReason);
}

CRect CWnd::GetWindowRect() const
{
    return m_pState->hWnd ? FromQRect(m_pState->hWnd->geometry()) : CRect();
}

int MessageBoxA(HWND hOwner, const char* pszText, const char* pszCaption, UINT /*nType*/)
{
    // Only MB_OK is used by the program: one OK button.
    QMessageBox box(hOwner);
    box.setWindowTitle(ToQString(CString(pszCaption ? pszCaption : "Error")));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(CString(pszText)));
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(QMessageBox::Warning);
    CModalLoop::Run(&box);
    return IDOK;
}

BOOL AskBeforeLosing(HWND hOwner, const char* pszCaption, const char* pszText, const char* pszAct, const char* pszStay)
{
    QMessageBox box(hOwner);
    box.setWindowTitle(ToQString(CString(pszCaption)));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(CString(pszText)));
    box.setIcon(QMessageBox::Question);
    QPushButton* pAct = box.addButton(ToQString(CString(pszAct)), QMessageBox::DestructiveRole);
    QPushButton* pStay = box.addButton(ToQString(CString(pszStay)), QMessageBox::RejectRole);
    // What the act loses is thrown away: it carries the theme's picture for discarding.
    GiveDialogButtonIcon(pAct, QStyle::SP_DialogDiscardButton);
    GiveDialogButtonIcon(pStay, QStyle::SP_DialogCancelButton);
    box.setDefaultButton(pStay);
    box.setEscapeButton(pStay);
    CModalLoop::Run(&box);
    return box.clickedButton() == pAct;
}

short GetKeyState(int nVirtKey)
{
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    bool bDown = false;
    if (nVirtKey == VK_CONTROL)
        bDown = modifiers & Qt::ControlModifier;
    else if (nVirtKey == VK_SHIFT)
        bDown = modifiers & Qt::ShiftModifier;
    return bDown ? static_cast<short>(0x8000) : 0;
}
