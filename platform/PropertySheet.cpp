#include "platform/PropertySheet.h"

#include "platform/KeyFilter.h"

#include "platform/DialogTemplate.h"
#include "platform/ModalLoop.h"
#include "platform/QtBridge.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>

#include <algorithm>

// The sheet's window. Every way of closing it goes through the sheet: Enter and OK confirm the
// pages, Escape and the close box cancel.
class CPropertySheet::CSheetDialog : public QDialog
{
public:
    CSheetDialog(CPropertySheet* pSheet, QWidget* pParent) : QDialog(pParent), m_pSheet(pSheet) {}

    void accept() override { m_pSheet->OnOK(); }
    void reject() override { m_pSheet->OnCancel(); }

private:
    CPropertySheet* m_pSheet;
};

namespace {
// Spacing of a classic property sheet, in pixels.
const int kMargin = 7;
const int kMinButtonWidth = 75;
} // namespace

struct CPropertySheet::CSheetWidgets
{
    QPointer<QWidget> pageArea;
    QPointer<QPushButton> applyButton;
    QPointer<QObject> keyFilter;
};

CPropertySheet::CPropertySheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh{PSH_HASHELP, iSelectPage}, m_strCaption(pszCaption), m_pParentWnd(pParentWnd),
      m_pWidgets(std::make_unique<CSheetWidgets>())
{
}

// The sheet does not own its pages; they may be gone before it is (start-up deletes them first).
// Their windows went with the sheet window when DoModal returned.
CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
    if (GetSafeHwnd())
        SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(pPage));
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const
{
    const auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int CPropertySheet::GetActiveIndex() const
{
    return GetSafeHwnd() ? m_nActive : static_cast<int>(m_psh.nStartPage);
}

CTabCtrl* CPropertySheet::GetTabControl() const
{
    return m_pTabCtrl && m_pTabCtrl->GetSafeHwnd() ? m_pTabCtrl.get() : nullptr;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage)
{
    const int nPage = GetPageIndex(pPage);
    return nPage >= 0 && SetActivePage(nPage);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!GetSafeHwnd()) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return SendMessage(PSM_SETCURSEL, static_cast<WPARAM>(nPage), 0) != FALSE;
}

LRESULT CPropertySheet::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case PSM_ADDPAGE:
        return InsertPageTab(reinterpret_cast<CPropertyPage*>(lParam));
    case PSM_SETCURSEL:
        return ChangePage(lParam ? GetPageIndex(reinterpret_cast<CPropertyPage*>(lParam)) : static_cast<int>(wParam));
    case PSM_SETCURSELID:
        for (int i = 0; i < GetPageCount(); ++i) {
            if (GetPage(i)->GetTemplateID() == static_cast<UINT>(lParam))
                return ChangePage(i);
        }
        return FALSE;
    case PSM_ISDIALOGMESSAGE:
        return FALSE;
    default:
        return CWnd::WindowProc(nMsg, wParam, lParam);
    }
}

BOOL CPropertySheet::InsertPageTab(CPropertyPage* pPage)
{
    CTabCtrl* pTabs = GetTabControl();
    const int nIndex = GetPageIndex(pPage);
    return pTabs && nIndex >= 0 && pTabs->InsertItem(nIndex, pPage->GetTitle());
}

BOOL CPropertySheet::ChangePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    CPropertyPage* pOld = GetPage(m_nActive);
    const bool bOldShown = pOld && pOld->GetSafeHwnd() && !pOld->GetSafeHwnd()->isHidden();
    if (nPage == m_nActive && bOldShown)
        return TRUE;
    if (bOldShown) {
        if (!pOld->OnKillActive())
            return FALSE;
        pOld->ShowWindow(SW_HIDE);
    }
    ShowPage(nPage);
    return TRUE;
}

void CPropertySheet::ShowPage(int nPage)
{
    CPropertyPage* pPage = GetPage(nPage);
    m_nActive = nPage;
    if (!pPage->GetSafeHwnd()) {
        pPage->CreatePageWindow(this, GetSafeHwnd());
        pPage->GetSafeHwnd()->setGeometry(m_pWidgets->pageArea->geometry());
    }
    pPage->OnSetActive();
    pPage->GetSafeHwnd()->show();
    pPage->GetSafeHwnd()->raise();
    if (CTabCtrl* pTabs = GetTabControl())
        pTabs->SetCurSel(nPage);
    LinkTabOrder();
}

CWnd* CPropertySheet::GetPageSelector() const
{
    return GetTabControl();
}

void CPropertySheet::LinkTabOrder()
{
    CPropertyPage* pPage = GetActivePage();
    CWnd* pSelector = GetPageSelector();
    if (!pPage || !pPage->GetSafeHwnd() || !pSelector || !pSelector->GetSafeHwnd())
        return;
    QWidget* pPrevious = pSelector->GetSafeHwnd();
    if (auto* pTabs = pPrevious->findChild<QTabBar*>())
        pPrevious = pTabs;
    std::vector<QWidget*> chain;
    // The page's controls in the order they were made (their template's); the parts of a control
    // (a list's header, a combo box's edit) go with it.
    for (QWidget* pControl : pPage->GetSafeHwnd()->findChildren<QWidget*>()) {
        const bool bPartOfAnother = std::any_of(chain.begin(), chain.end(), [&](QWidget* p) { return p->isAncestorOf(pControl); });
        if ((pControl->focusPolicy() & Qt::TabFocus) && !bPartOfAnother && pControl->window() == pPage->GetSafeHwnd()->window())
            chain.push_back(pControl);
    }
    for (int nID : {static_cast<int>(IDOK), static_cast<int>(IDCANCEL), static_cast<int>(ID_APPLY_NOW)}) {
        if (CWnd* pButton = GetDlgItem(nID))
            chain.push_back(pButton->GetSafeHwnd());
    }
    for (QWidget* pNext : chain) {
        QWidget::setTabOrder(pPrevious, pNext);
        pPrevious = pNext;
    }
}

INT_PTR CPropertySheet::DoModal()
{
    auto* pDialog = new CSheetDialog(this, m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr);
    pDialog->setWindowTitle(ToQString(m_strCaption));
    AdoptWindow(pDialog);
    // Every key pressed anywhere in the sheet is offered to the sheet first (PSM_ISDIALOGMESSAGE), as
    // a dialog checks its messages before the focused control sees them.
    m_pWidgets->keyFilter = new CKeyFilter(pDialog, [this](QWidget* pWatched, const QKeyEvent& key, MSG& msg) {
        if (pWatched->window() != GetSafeHwnd())
            return false;
        // An Alt+letter that no enabled mnemonic took (Apply's Alt+A while Apply is grey) is no text:
        // the focused box must not get its letter. AltGr, which types characters, is not Alt here.
        if ((key.modifiers() & Qt::AltModifier) && !(key.modifiers() & Qt::ControlModifier) && !key.text().isEmpty()
            && key.text().at(0).isPrint())
            return true;
        return SendMessage(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)) != FALSE;
    });
    qApp->installEventFilter(m_pWidgets->keyFilter);
    OnInitDialog();
    // After the derived sheet's set-up too, which may move the buttons.
    PlaceButtonRowText();

    const int nResult = CModalLoop::Run(pDialog);

    qApp->removeEventFilter(m_pWidgets->keyFilter);
    DestroyWindow();
    return nResult == IDOK ? IDOK : IDCANCEL;
}

void CPropertySheet::PlaceButtonRowText()
{
    QWidget* pDialog = GetSafeHwnd();
    CWnd* pOK = GetDlgItem(IDOK);
    if (m_strButtonRowText.IsEmpty() || !pDialog || !pOK || !pOK->GetSafeHwnd())
        return;
    const QRect ok = pOK->GetSafeHwnd()->geometry();
    auto* pLabel = new QLabel(pDialog);
    pLabel->setObjectName(QStringLiteral("buttonRowText"));
    pLabel->setTextFormat(Qt::PlainText);
    pLabel->setGeometry(kMargin, ok.top(), std::max(0, ok.left() - 2 * kMargin), ok.height());
    const QString text = ToQString(m_strButtonRowText);
    pLabel->setText(pLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, pLabel->width()));
    pLabel->setToolTip(text);
    pLabel->setAccessibleName(text);
    pLabel->show();
}

void CPropertySheet::OnDestroy()
{
    for (CPropertyPage* pPage : m_pages)
        pPage->DestroyPageWindow();
    m_pTabCtrl.reset();
    m_nActive = -1;
}

BOOL CPropertySheet::OnInitDialog()
{
    QWidget* pDialog = GetSafeHwnd();

    // The page area is as large as the largest page's template, as in a classic property sheet.
    QSize pageSize(200, 100);
    for (CPropertyPage* pPage : m_pages) {
        if (const CDialogTemplate* pTemplate = CDialogTemplate::Find(pPage->GetTemplateID()))
            pageSize = pageSize.expandedTo(pTemplate->GetSize());
    }
    m_pTabCtrl = std::make_unique<CTabCtrl>();
    m_pTabCtrl->Create(this, kMargin, kMargin, pageSize.width(), pageSize.height());
    for (int i = 0; i < GetPageCount(); ++i)
        m_pTabCtrl->InsertItem(i, GetPage(i)->GetTitle());
    QObject::connect(m_pTabCtrl->TabBar(), &QTabBar::currentChanged, pDialog, [this](int nIndex) { OnTabChanged(nIndex); });

    m_pWidgets->pageArea = new QWidget(pDialog);
    m_pWidgets->pageArea->setGeometry(ToQRect(m_pTabCtrl->GetPageArea()));
    m_pWidgets->pageArea->hide();

    auto* pOK = new QPushButton(QObject::tr("OK"), pDialog);
    auto* pCancel = new QPushButton(QObject::tr("Cancel"), pDialog);
    m_pWidgets->applyButton = new QPushButton(QObject::tr("&Apply"), pDialog);
    pOK->setProperty("ctrlId", IDOK);
    pCancel->setProperty("ctrlId", IDCANCEL);
    m_pWidgets->applyButton->setProperty("ctrlId", ID_APPLY_NOW);
    pOK->setDefault(true);
    m_pWidgets->applyButton->setEnabled(false);
    QObject::connect(pOK, &QPushButton::clicked, pDialog, [this]() { OnOK(); });
    QObject::connect(pCancel, &QPushButton::clicked, pDialog, [this]() { OnCancel(); });
    QObject::connect(m_pWidgets->applyButton.data(), &QPushButton::clicked, pDialog, [this]() { OnApplyNow(); });

    int nButtonWidth = kMinButtonWidth;
    int nButtonHeight = 0;
    for (QPushButton* pButton : {pOK, pCancel, m_pWidgets->applyButton.data()}) {
        nButtonWidth = std::max(nButtonWidth, pButton->sizeHint().width());
        nButtonHeight = std::max(nButtonHeight, pButton->sizeHint().height());
    }
    const CRect tabs = m_pTabCtrl->GetWindowRect();
    const int nButtonTop = tabs.bottom + kMargin;
    const int nGap = pDialog->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Horizontal);
    const int nSpacing = nGap > 0 ? nGap : 6;
    int nLeft = tabs.right;
    for (QPushButton* pButton : {m_pWidgets->applyButton.data(), pCancel, pOK}) {
        nLeft -= nButtonWidth;
        pButton->setGeometry(nLeft, nButtonTop, nButtonWidth, nButtonHeight);
        nLeft -= nSpacing;
    }
    pDialog->setFixedSize(tabs.right + kMargin, nButtonTop + nButtonHeight + kMargin);

    if (GetPageCount() > 0) {
        const int nStart = static_cast<int>(m_psh.nStartPage) < GetPageCount() ? static_cast<int>(m_psh.nStartPage) : 0;
        ShowPage(nStart);
    }
    return TRUE;
}

void CPropertySheet::OnTabChanged(int nIndex)
{
    if (nIndex == m_nActive)
        return;
    if (!SetActivePage(nIndex)) {
        // The current page refused to be left: the tab stays where it was.
        if (CTabCtrl* pTabs = GetTabControl())
            pTabs->SetCurSel(m_nActive);
    }
}

void CPropertySheet::UpdateApplyButton()
{
    if (!m_pWidgets->applyButton)
        return;
    const bool bAnyModified = std::any_of(m_pages.begin(), m_pages.end(), [](const CPropertyPage* p) { return p->m_bModified; });
    m_pWidgets->applyButton->setEnabled(bAnyModified);
}

BOOL CPropertySheet::ApplyPages()
{
    CPropertyPage* pCurrent = GetActivePage();
    if (pCurrent && pCurrent->GetSafeHwnd() && !pCurrent->GetSafeHwnd()->isHidden() && !pCurrent->OnKillActive())
        return FALSE;
    // Every page is checked before any writes: a refusal on a later page must not leave the earlier
    // pages' sections changed, or saved, behind the user's back. Indexed, not iterated: a page may
    // show a message box, and the page list must not be held across that nested loop.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->GetSafeHwnd() && !pPage->CheckInput()) {
            // The user is taken to the field that needs attention.
            SetActivePage(i);
            return FALSE;
        }
    }
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->GetSafeHwnd() && !pPage->OnApply())
            return FALSE;
    }
    if (m_commit && !m_commit(GetActivePage()))
        return FALSE;
    for (CPropertyPage* pPage : m_pages)
        pPage->m_bModified = FALSE;
    UpdateApplyButton();
    return TRUE;
}

BOOL CPropertySheet::ConfirmDiscard()
{
    const bool bAnyModified = std::any_of(m_pages.begin(), m_pages.end(), [](const CPropertyPage* p) { return p->m_bModified; });
    if (!bAnyModified)
        return TRUE;
    // Closing throws away what the user typed, so it is asked first; staying is the safe answer, and
    // it is what Enter and Escape give.
    QMessageBox box(GetSafeHwnd());
    box.setWindowTitle(QObject::tr("Unsaved Changes"));
    box.setTextFormat(Qt::PlainText);
    box.setText(QObject::tr("Discard the changes you made?"));
    box.setIcon(QMessageBox::Question);
    QPushButton* pDiscard = box.addButton(QObject::tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton* pStay = box.addButton(QObject::tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(pStay);
    box.setEscapeButton(pStay);
    CModalLoop::Run(&box);
    return box.clickedButton() == pDiscard;
}

void CPropertySheet::OnOK()
{
    if (ApplyPages())
        static_cast<QDialog*>(GetSafeHwnd())->done(IDOK);
}

void CPropertySheet::OnCancel()
{
    if (ConfirmDiscard())
        static_cast<QDialog*>(GetSafeHwnd())->done(IDCANCEL);
}

void CPropertySheet::OnApplyNow()
{
    ApplyPages();
}
