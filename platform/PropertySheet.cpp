#include "platform/PropertySheet.h"

#include "platform/DialogTemplate.h"
#include "platform/ModalLoop.h"
#include "platform/QtBridge.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QVariant>

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
const int kPanePadding = 4;
const int kMinButtonWidth = 75;
} // namespace

CPropertySheet::CPropertySheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh{PSH_HASHELP, iSelectPage}, m_strCaption(pszCaption), m_pParentWnd(pParentWnd)
{
}

// The sheet does not own its pages; they may be gone before it is (start-up deletes them first).
// Their windows went with the sheet window when DoModal returned.
CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    m_pages.push_back(pPage);
    if (m_pTabBar) {
        const QSignalBlocker blocker(m_pTabBar.data());
        m_pTabBar->addTab(ToQString(pPage->GetTitle()));
    }
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
        pPage->GetSafeHwnd()->setGeometry(m_pPageArea->geometry());
    }
    pPage->OnSetActive();
    pPage->GetSafeHwnd()->show();
    pPage->GetSafeHwnd()->raise();
    if (m_pTabBar) {
        const QSignalBlocker blocker(m_pTabBar.data());
        m_pTabBar->setCurrentIndex(nPage);
    }
}

INT_PTR CPropertySheet::DoModal()
{
    auto* pDialog = new CSheetDialog(this, m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr);
    pDialog->setWindowTitle(ToQString(m_strCaption));
    AdoptWindow(pDialog);
    OnInitDialog();

    const int nResult = CModalLoop::Run(pDialog);

    for (CPropertyPage* pPage : m_pages)
        pPage->DestroyPageWindow();
    DestroyWindow();
    m_nActive = -1;
    return nResult == IDOK ? IDOK : IDCANCEL;
}

BOOL CPropertySheet::OnInitDialog()
{
    QWidget* pDialog = GetSafeHwnd();

    m_pTabBar = new QTabBar(pDialog);
    m_pTabBar->setExpanding(false);
    m_pTabBar->setUsesScrollButtons(true);
    for (CPropertyPage* pPage : m_pages)
        m_pTabBar->addTab(ToQString(pPage->GetTitle()));
    QObject::connect(m_pTabBar.data(), &QTabBar::currentChanged, pDialog, [this](int nIndex) { OnTabChanged(nIndex); });

    // The page area is as large as the largest page's template, as in a classic property sheet.
    QSize pageSize(200, 100);
    for (CPropertyPage* pPage : m_pages) {
        if (const CDialogTemplate* pTemplate = CDialogTemplate::Find(pPage->GetTemplateID()))
            pageSize = pageSize.expandedTo(pTemplate->GetSize());
    }

    const int nTabHeight = m_pTabBar->sizeHint().height();
    const int nPaneWidth = pageSize.width() + 2 * kPanePadding;
    m_pTabBar->setGeometry(kMargin, kMargin, nPaneWidth, nTabHeight);

    auto* pPane = new QFrame(pDialog);
    pPane->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    pPane->setGeometry(kMargin, kMargin + nTabHeight, nPaneWidth, pageSize.height() + 2 * kPanePadding);
    m_pPageArea = new QWidget(pDialog);
    m_pPageArea->setGeometry(pPane->x() + kPanePadding, pPane->y() + kPanePadding, pageSize.width(), pageSize.height());
    m_pPageArea->hide();

    auto* pOK = new QPushButton(QObject::tr("OK"), pDialog);
    auto* pCancel = new QPushButton(QObject::tr("Cancel"), pDialog);
    m_pApplyButton = new QPushButton(QObject::tr("&Apply"), pDialog);
    pOK->setProperty("ctrlId", IDOK);
    pCancel->setProperty("ctrlId", IDCANCEL);
    m_pApplyButton->setProperty("ctrlId", ID_APPLY_NOW);
    pOK->setDefault(true);
    m_pApplyButton->setEnabled(false);
    QObject::connect(pOK, &QPushButton::clicked, pDialog, [this]() { OnOK(); });
    QObject::connect(pCancel, &QPushButton::clicked, pDialog, [this]() { OnCancel(); });
    QObject::connect(m_pApplyButton.data(), &QPushButton::clicked, pDialog, [this]() { OnApplyNow(); });

    int nButtonWidth = kMinButtonWidth;
    int nButtonHeight = 0;
    for (QPushButton* pButton : {pOK, pCancel, m_pApplyButton.data()}) {
        nButtonWidth = std::max(nButtonWidth, pButton->sizeHint().width());
        nButtonHeight = std::max(nButtonHeight, pButton->sizeHint().height());
    }
    const int nButtonTop = pPane->geometry().bottom() + 1 + kMargin;
    const int nRight = pPane->geometry().right() + 1;
    const int nGap = pDialog->style()->layoutSpacing(QSizePolicy::PushButton, QSizePolicy::PushButton, Qt::Horizontal);
    const int nSpacing = nGap > 0 ? nGap : 6;
    int nLeft = nRight;
    for (QPushButton* pButton : {m_pApplyButton.data(), pCancel, pOK}) {
        nLeft -= nButtonWidth;
        pButton->setGeometry(nLeft, nButtonTop, nButtonWidth, nButtonHeight);
        nLeft -= nSpacing;
    }
    pDialog->setFixedSize(nRight + kMargin, nButtonTop + nButtonHeight + kMargin);
    // Keyboard order follows reading order: tabs, page, then the buttons.
    QWidget::setTabOrder(m_pTabBar.data(), pOK);
    QWidget::setTabOrder(pOK, pCancel);
    QWidget::setTabOrder(pCancel, m_pApplyButton.data());

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
        const QSignalBlocker blocker(m_pTabBar.data());
        m_pTabBar->setCurrentIndex(m_nActive);
    }
}

void CPropertySheet::UpdateApplyButton()
{
    if (!m_pApplyButton)
        return;
    const bool bAnyModified = std::any_of(m_pages.begin(), m_pages.end(), [](const CPropertyPage* p) { return p->m_bModified; });
    m_pApplyButton->setEnabled(bAnyModified);
}

BOOL CPropertySheet::ApplyPages()
{
    CPropertyPage* pCurrent = GetActivePage();
    if (pCurrent && pCurrent->GetSafeHwnd() && !pCurrent->GetSafeHwnd()->isHidden() && !pCurrent->OnKillActive())
        return FALSE;
    // Indexed, not iterated: a page's OnApply may show a message box, and the page list must not be
    // held across that nested loop.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->GetSafeHwnd() && !pPage->OnApply())
            return FALSE;
    }
    for (CPropertyPage* pPage : m_pages)
        pPage->m_bModified = FALSE;
    UpdateApplyButton();
    return TRUE;
}

void CPropertySheet::OnOK()
{
    if (ApplyPages())
        static_cast<QDialog*>(GetSafeHwnd())->done(IDOK);
}

void CPropertySheet::OnCancel()
{
    static_cast<QDialog*>(GetSafeHwnd())->done(IDCANCEL);
}

void CPropertySheet::OnApplyNow()
{
    ApplyPages();
}
