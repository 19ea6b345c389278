#include "platform/Wnd.h"

#include "platform/ModalLoop.h"
#include "platform/QtBridge.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QVariant>
#include <QWidget>

namespace {

const char* const kIdProperty = "ctrlId";

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

CWnd::CWnd() = default;

CWnd::~CWnd()
{
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
    QWidget* pControl = FindControl(m_hWnd.data(), nID);
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
    return m_hWnd ? m_hWnd->property(kIdProperty).toInt() : 0;
}

BOOL CWnd::EnableWindow(BOOL bEnable)
{
    if (!m_hWnd)
        return FALSE;
    const BOOL bWasDisabled = !m_hWnd->isEnabled();
    m_hWnd->setEnabled(bEnable != FALSE);
    return bWasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return m_hWnd && m_hWnd->isEnabled();
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    if (!m_hWnd)
        return FALSE;
    const BOOL bWasVisible = m_hWnd->isVisible();
    m_hWnd->setVisible(nCmdShow != SW_HIDE);
    return bWasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    return m_hWnd && m_hWnd->isVisible();
}

void CWnd::SetWindowText(const char* pszText)
{
    SetControlText(m_hWnd.data(), CString(pszText));
}

void CWnd::GetWindowText(CString& rString) const
{
    rString = GetControlText(m_hWnd.data());
}

LRESULT CWnd::SendMessage(UINT nMsg, WPARAM wParam, LPARAM /*lParam*/)
{
    auto* pButton = qobject_cast<QAbstractButton*>(m_hWnd.data());
    if (!pButton)
        return 0;
    if (nMsg == BM_GETCHECK)
        return pButton->isChecked() ? BST_CHECKED : BST_UNCHECKED;
    if (nMsg == BM_SETCHECK) {
        // Setting the state by message never clicks the button, so no handler runs. Checking a radio
        // button clears the others of its pair, so the pair never shows two choices; clearing one is
        // allowed too, which Qt's exclusive groups refuse by themselves.
        if (wParam == BST_CHECKED) {
            pButton->setChecked(true);
        } else {
            const bool bExclusive = pButton->autoExclusive();
            pButton->setAutoExclusive(false);
            pButton->setChecked(false);
            pButton->setAutoExclusive(bExclusive);
        }
    }
    return 0;
}

int CWnd::MessageBox(const char* pszText, const char* pszCaption, UINT nType)
{
    return MessageBoxA(m_hWnd.data(), pszText, pszCaption, nType);
}

void CWnd::Attach(HWND hWnd)
{
    DestroyWindow();
    m_hWnd = hWnd;
    m_bOwnsWindow = false;
}

void CWnd::SubclassDlgItem(int nID, CWnd& rControl)
{
    rControl.Attach(FindControl(m_hWnd.data(), nID));
    m_mapSubclassed[nID] = &rControl;
}

void CWnd::AdoptWindow(HWND hWnd)
{
    DestroyWindow();
    m_hWnd = hWnd;
    m_bOwnsWindow = true;
}

void CWnd::DestroyWindow()
{
    ForgetDlgItems();
    if (m_bOwnsWindow && m_hWnd)
        delete m_hWnd.data();
    m_hWnd = nullptr;
    m_bOwnsWindow = false;
}

void CWnd::ForgetDlgItems()
{
    m_mapItems.clear();
    m_mapSubclassed.clear();
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
