// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Controls.h"
#include "platform/QtBridge.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {

template <class TWidget>
TWidget* MakeChild(CWnd* pParentWnd, UINT nID, const CRect& rect, DWORD dwStyle)
{
    QWidget* pParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    if (!pParent)
        return nullptr;
    auto* pWidget = new TWidget(pParent);
    pWidget->setProperty("ctrlId", nID);
    pWidget->setGeometry(ToQRect(rect));
    pWidget->setFocusPolicy((dwStyle & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
    pWidget->show();
    return pWidget;
}

void Notify(CWnd* pParentWnd, UINT nID, UINT nCode)
{
    pParentWnd->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(nID), static_cast<int>(nCode)), 0);
}

} // namespace

BOOL CStatic::Create(const char* pszText, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pLabel = MakeChild<QLabel>(pParentWnd, nID, rect, dwStyle & ~WS_TABSTOP);
    if (!pLabel)
        return FALSE;
    pLabel->setTextFormat(Qt::PlainText);
    Attach(pLabel);
    SetControlText(pLabel, CString(pszText));
    return TRUE;
}

BOOL CEdit::Create(DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pEdit = MakeChild<QLineEdit>(pParentWnd, nID, rect, dwStyle);
    if (!pEdit)
        return FALSE;
    if (dwStyle & ES_PASSWORD)
        pEdit->setEchoMode(QLineEdit::Password);
    // No cut at Qt's default of 32,767 characters: a stored value comes back whole.
    pEdit->setMaxLength(std::numeric_limits<int>::max());
    QObject::connect(pEdit, &QLineEdit::textChanged, pEdit,
                     [pParentWnd, nID]() { Notify(pParentWnd, nID, EN_CHANGE); });
    Attach(pEdit);
    return TRUE;
}

BOOL CButton::Create(const char* pszText, DWORD dwStyle, const CRect& rect, CWnd* pParentWnd, UINT nID)
{
    auto* pButton = MakeChild<QPushButton>(pParentWnd, nID, rect, dwStyle);
    if (!pButton)
        return FALSE;
    pButton->setText(ToQString(CString(pszText)));
    pButton->setAutoDefault(false);
    pButton->setDefault((dwStyle & BS_DEFPUSHBUTTON) != 0);
    if (nID == IDOK || nID == IDCANCEL)
        GiveDialogButtonIcon(pButton, nID == IDOK ? QStyle::SP_DialogOkButton : QStyle::SP_DialogCancelButton);
    QObject::connect(pButton, &QPushButton::clicked, pButton,
                     [pParentWnd, nID]() { Notify(pParentWnd, nID, BN_CLICKED); });
    Attach(pButton);
    return TRUE;
}

BOOL CButton::GetIdealSize(SIZE* pSize) const
{
    QWidget* pButton = GetSafeHwnd();
    if (!pButton || !pSize)
        return FALSE;
    const QSize size = pButton->sizeHint();
    *pSize = SIZE{size.width(), size.height()};
    return TRUE;
}
