// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PropertyPage.h"

#include "platform/DialogTemplate.h"
#include "platform/PropertySheet.h"
#include "platform/QtBridge.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QShortcut>
#include <QWidget>

CPropertyPage::CPropertyPage(UINT nIDTemplate) : m_psp{PSP_HASHELP, nullptr}, m_nIDTemplate(nIDTemplate) {}

CPropertyPage::~CPropertyPage() = default;

BOOL CPropertyPage::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnSetActive()
{
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::CheckInput()
{
    return TRUE;
}

BOOL CPropertyPage::OnApply()
{
    return TRUE;
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged;
    if (m_pSheet)
        m_pSheet->UpdateApplyButton();
}

BOOL CPropertyPage::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void CPropertyPage::DoDataExchange(CDataExchange* /*pDX*/) {}

const CCommandMap& CPropertyPage::GetCommandMap() const
{
    static const CCommandMap empty;
    return empty;
}

CString CPropertyPage::GetTitle() const
{
    if ((m_psp.dwFlags & PSP_USETITLE) && m_psp.pszTitle)
        return CString(m_psp.pszTitle);
    const CDialogTemplate* pTemplate = CDialogTemplate::Find(m_nIDTemplate);
    return pTemplate ? pTemplate->GetCaption() : CString();
}

void CPropertyPage::CreatePageWindow(CPropertySheet* pSheet, QWidget* pParent)
{
    m_pSheet = pSheet;
    const CDialogTemplate* pTemplate = CDialogTemplate::Find(m_nIDTemplate);
    QWidget* pWidget = pTemplate ? pTemplate->Create(pParent) : new QWidget(pParent);
    // The template's caption names the page in the sheet; the page itself is a child, not a window.
    pWidget->setWindowTitle(QString());
    // A page paints its own background, as a dialog does, so nothing behind it shows through.
    pWidget->setAutoFillBackground(true);
    AdoptWindow(pWidget);
    OnInitDialog();
    // After OnInitDialog, so that controls a page adds there are routed too.
    ConnectCommands();
    for (auto* pButton : pWidget->findChildren<QAbstractButton*>()) {
        if (pButton->autoExclusive() && pButton->isCheckable()) {
            KeepTabStopOnCheckedButton(pButton);
            QObject::connect(pButton, &QAbstractButton::toggled, pButton,
                             [pButton]() { KeepTabStopOnCheckedButton(pButton); });
        }
    }
}

void CPropertyPage::DestroyPageWindow()
{
    DestroyWindow();
    m_bModified = FALSE;
}

namespace {

// A check box or radio button changes state by a click, by Space, and by the accessibility interface,
// whose toggle action (a screen reader's, switch access's, voice control's) never emits clicked: its
// handler must run on the change itself. BM_SETCHECK blocks the signals of the button it sets, so the
// program's own settings still run none. A radio button answers the one that became checked only,
// not its partner that was cleared with it.
template <class THandler>
void ConnectClicked(QAbstractButton* pButton, QWidget* pContext, THandler handler)
{
    if (!pButton->isCheckable()) {
        QObject::connect(pButton, &QAbstractButton::clicked, pContext, handler);
        return;
    }
    const bool bRadio = pButton->autoExclusive();
    QObject::connect(pButton, &QAbstractButton::toggled, pContext, [handler, bRadio](bool bChecked) {
        if (bChecked || !bRadio)
            handler();
    });
}

} // namespace

void CPropertyPage::ConnectCommands()
{
    QWidget* pContext = GetSafeHwnd();
    for (const CCommandEntry& entry : GetCommandMap()) {
        CWnd* pItem = GetDlgItem(entry.nID);
        QWidget* pControl = pItem ? pItem->GetSafeHwnd() : nullptr;
        const auto pfn = entry.pfn;
        auto handler = [this, pfn]() { (this->*pfn)(); };
        // Notifications come from the user's own actions only: filling a control from a member does not
        // count as an edit, so merely showing a page does not mark it changed.
        switch (entry.nCode) {
        case BN_CLICKED:
            if (auto* pButton = qobject_cast<QAbstractButton*>(pControl))
                ConnectClicked(pButton, pContext, handler);
            break;
        case EN_CHANGE:
            if (auto* pEdit = qobject_cast<QLineEdit*>(pControl))
                QObject::connect(pEdit, &QLineEdit::textEdited, pContext, handler);
            break;
        case CBN_SELCHANGE:
            if (auto* pCombo = qobject_cast<QComboBox*>(pControl))
                QObject::connect(pCombo, QOverload<int>::of(&QComboBox::activated), pContext, handler);
            break;
        case CBN_EDITCHANGE:
            if (auto* pCombo = qobject_cast<QComboBox*>(pControl); pCombo && pCombo->lineEdit())
                QObject::connect(pCombo->lineEdit(), &QLineEdit::textEdited, pContext, handler);
            break;
        case LVN_KEYDOWN:
            if (auto* pList = qobject_cast<QAbstractItemView*>(pControl))
                QObject::connect(new QShortcut(QKeySequence::Delete, pList, nullptr, nullptr, Qt::WidgetShortcut),
                                 &QShortcut::activated, pContext, handler);
            break;
        default:
            break;
        }
    }
}
