// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PropertySheet.h"

#include "platform/DialogTemplate.h"
#include "platform/KeyFilter.h"
#include "platform/ModalLoop.h"
#include "platform/QtBridge.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
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

protected:
    void resizeEvent(QResizeEvent* pEvent) override
    {
        QDialog::resizeEvent(pEvent);
        m_pSheet->LayOutForSize(size());
    }

private:
    CPropertySheet* m_pSheet;
};

namespace {

// What the pages lie in: as large as the pages' area, but never smaller than the largest page's
// layout needs; the area scrolls when the window is smaller than that (a large font on a small
// screen). Every page fills it.
class CPageContainer : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void resizeEvent(QResizeEvent* pEvent) override
    {
        QWidget::resizeEvent(pEvent);
        for (QWidget* pPage : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            pPage->setGeometry(rect());
    }
    void childEvent(QChildEvent* pEvent) override
    {
        QWidget::childEvent(pEvent);
        if (pEvent->added() && pEvent->child()->isWidgetType())
            pEvent->child()->installEventFilter(this);
    }
    // A page that needs more room after its template was measured (a control it shows later) gets it:
    // the window grows as far as the screen allows, and the area scrolls for the rest rather than
    // squeezing the page's rows.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() == QEvent::LayoutRequest && pWatched->parent() == this) {
            const QSize needed = minimumSize().expandedTo(static_cast<QWidget*>(pWatched)->minimumSizeHint());
            if (needed != minimumSize()) {
                setMinimumSize(needed);
                GrowWindowToShow(needed);
            }
        }
        return QWidget::eventFilter(pWatched, pEvent);
    }

private:
    void GrowWindowToShow(const QSize& needed)
    {
        QWidget* pViewport = parentWidget();
        QWidget* pWindow = window();
        if (!pViewport || pWindow == this)
            return;
        const QSize missing = (needed - pViewport->size()).expandedTo(QSize(0, 0));
        if (missing.width() == 0 && missing.height() == 0)
            return;
        QSize size = pWindow->size() + missing;
        if (QScreen* pScreen = pWindow->screen())
            size = size.boundedTo(pScreen->availableGeometry().size());
        if (size.width() > pWindow->width() || size.height() > pWindow->height())
            pWindow->resize(size.expandedTo(pWindow->size()));
    }
};

// A line of text that shortens itself in its middle to the width it is given; the whole of it is its
// tooltip and what screen readers read.
class CElidedLabel : public QLabel
{
public:
    CElidedLabel(const QString& text, QWidget* pParent) : QLabel(pParent), m_text(text)
    {
        setTextFormat(Qt::PlainText);
        setToolTip(text);
        setAccessibleName(text);
    }

protected:
    void resizeEvent(QResizeEvent* pEvent) override
    {
        QLabel::resizeEvent(pEvent);
        setText(fontMetrics().elidedText(m_text, Qt::ElideMiddle, width()));
    }

private:
    QString m_text;
};

// Spacing of a classic property sheet, in pixels.
const int kMargin = 7;
const int kMinButtonWidth = 75;
// The least of a page that a window too small for its pages still shows, scrolled.
const int kMinPageSide = 100;
} // namespace

namespace {
// A child of the window as OnInitDialog placed it, and how it follows a change of size.
struct ChildPlacement
{
    QPointer<QWidget> pWidget;
    QRect rect;
    bool bMovesRight;
    bool bMovesDown;
    bool bGrowsWide;
    bool bGrowsTall;
};
} // namespace

struct CPropertySheet::CSheetWidgets
{
    QPointer<QScrollArea> pageArea;
    QPointer<QPushButton> applyButton;
    QPointer<QObject> keyFilter;
    // The window as OnInitDialog laid it out, and the least size of its pages, for resizing.
    QSize minPageSize;
    QSize laidOutSize;
    QRect laidOutPageArea;
    std::vector<ChildPlacement> placements;
};

CPropertySheet::CPropertySheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_psh{PSH_HASHELP, iSelectPage},
      m_strCaption(pszCaption),
      m_pParentWnd(pParentWnd),
      m_pWidgets(std::make_unique<CSheetWidgets>())
{}

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
        pPage->CreatePageWindow(this, m_pWidgets->pageArea->widget());
        pPage->GetSafeHwnd()->setGeometry(m_pWidgets->pageArea->widget()->rect());
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
        const bool bPartOfAnother = std::any_of(chain.begin(), chain.end(),
                                                [&](QWidget* p) { return p->isAncestorOf(pControl); });
        // A radio button keeps its place whether or not it is its group's stop for Tab just now.
        auto* pButton = qobject_cast<QAbstractButton*>(pControl);
        const bool bInGroup = pButton && pButton->autoExclusive() && pButton->isCheckable();
        if (((pControl->focusPolicy() & Qt::TabFocus) || bInGroup) && !bPartOfAnother
            && pControl->window() == pPage->GetSafeHwnd()->window())
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
    PrepareForScreenReaders();
    MakeResizable();

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
    auto* pLabel = new CElidedLabel(ToQString(m_strButtonRowText), pDialog);
    pLabel->setObjectName(QStringLiteral("buttonRowText"));
    pLabel->setGeometry(kMargin, ok.top(), std::max(0, ok.left() - 2 * kMargin), ok.height());
    pLabel->show();
}

void CPropertySheet::PrepareForScreenReaders()
{
    if (CWnd* pSelector = GetPageSelector(); pSelector && pSelector->GetSafeHwnd()) {
        QWidget* pWidget = pSelector->GetSafeHwnd();
        if (auto* pTabs = pWidget->findChild<QTabBar*>())
            pWidget = pTabs;
        if (pWidget->accessibleName().isEmpty())
            pWidget->setAccessibleName(QObject::tr("Pages"));
    }
    // Screen readers list hidden children too. A tab control that a derived sheet hid (the tree sheet
    // shows its pages in a tree) keeps the titles and the current page, but leaves the window: as a
    // window of its own that is never shown it is nothing a screen reader finds.
    if (CTabCtrl* pTabs = GetTabControl(); pTabs && pTabs->GetSafeHwnd()->isHidden())
        pTabs->GetSafeHwnd()->setParent(nullptr);
}

void CPropertySheet::MakeResizable()
{
    QWidget* pDialog = GetSafeHwnd();
    if (!pDialog || !m_pWidgets->pageArea)
        return;
    m_pWidgets->laidOutSize = pDialog->size();
    m_pWidgets->laidOutPageArea = m_pWidgets->pageArea->geometry();
    const QRect area = m_pWidgets->laidOutPageArea;
    m_pWidgets->placements.clear();
    int nButtonsLeft = area.right();
    for (HWND hChild : GetChildWindows()) {
        const QRect rect = hChild->geometry();
        ChildPlacement placement{hChild, rect, false, false, false, false};
        if (rect.top() > area.bottom()) {
            // The button row: the buttons keep to the right, the text beside them takes what is left.
            placement.bMovesDown = true;
            placement.bMovesRight = rect.left() > area.center().x();
            placement.bGrowsWide = !placement.bMovesRight;
            if (placement.bMovesRight)
                nButtonsLeft = std::min(nButtonsLeft, rect.left());
        } else {
            placement.bGrowsWide = rect.right() >= area.right();
            placement.bGrowsTall = rect.bottom() >= area.bottom();
        }
        m_pWidgets->placements.push_back(placement);
    }
    m_pWidgets->pageArea->widget()->setMinimumSize(m_pWidgets->minPageSize);
    QSize minimum = m_pWidgets->laidOutSize - (area.size() - m_pWidgets->minPageSize.boundedTo(area.size()));
    minimum.setWidth(std::max(minimum.width(), m_pWidgets->laidOutSize.width() - (nButtonsLeft - kMargin)));
    QScreen* pScreen = pDialog->screen();
    if (pScreen) {
        // On a screen too small for that (a large font, a high scale) the pages' area scrolls, and
        // the window still fits, with some of the page to see.
        const QSize chrome = m_pWidgets->laidOutSize - area.size() + QSize(kMinPageSide, kMinPageSide);
        minimum = minimum.boundedTo(pScreen->availableGeometry().size()).expandedTo(chrome.boundedTo(minimum));
    }
    pDialog->setMinimumSize(minimum);
    pDialog->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    // A window larger than the screen opens as large as the screen allows, down to its least size.
    if (pScreen) {
        const QSize fitting
            = m_pWidgets->laidOutSize.boundedTo(pScreen->availableGeometry().size()).expandedTo(minimum);
        if (fitting != m_pWidgets->laidOutSize) {
            pDialog->resize(fitting);
            LayOutForSize(fitting);
            CenterWindow();
        }
    }
}

void CPropertySheet::LayOutForSize(const QSize& size)
{
    if (m_pWidgets->laidOutSize.isEmpty() || !m_pWidgets->pageArea)
        return;
    const int dx = size.width() - m_pWidgets->laidOutSize.width();
    const int dy = size.height() - m_pWidgets->laidOutSize.height();
    for (const ChildPlacement& placement : m_pWidgets->placements) {
        if (!placement.pWidget)
            continue;
        QRect rect = placement.rect;
        rect.translate(placement.bMovesRight ? dx : 0, placement.bMovesDown ? dy : 0);
        rect.setWidth(std::max(0, rect.width() + (placement.bGrowsWide ? dx : 0)));
        rect.setHeight(std::max(0, rect.height() + (placement.bGrowsTall ? dy : 0)));
        placement.pWidget->setGeometry(rect);
    }
    m_pWidgets->pageArea->setGeometry(m_pWidgets->laidOutPageArea.adjusted(0, 0, dx, dy));
}

void CPropertySheet::OnDestroy()
{
    for (CPropertyPage* pPage : m_pages)
        pPage->DestroyPageWindow();
    m_pWidgets->placements.clear();
    m_pWidgets->laidOutSize = QSize();
    m_pTabCtrl.reset();
    m_nActive = -1;
}

BOOL CPropertySheet::OnInitDialog()
{
    QWidget* pDialog = GetSafeHwnd();

    // The page area is as large as the largest page's template, as in a classic property sheet.
    QSize pageSize(200, 100);
    m_pWidgets->minPageSize = QSize(0, 0);
    for (CPropertyPage* pPage : m_pages) {
        if (const CDialogTemplate* pTemplate = CDialogTemplate::Find(pPage->GetTemplateID())) {
            pageSize = pageSize.expandedTo(pTemplate->GetSize());
            m_pWidgets->minPageSize = m_pWidgets->minPageSize.expandedTo(pTemplate->GetMinimumSize());
        }
    }
    m_pTabCtrl = std::make_unique<CTabCtrl>();
    m_pTabCtrl->Create(this, kMargin, kMargin, pageSize.width(), pageSize.height());
    for (int i = 0; i < GetPageCount(); ++i)
        m_pTabCtrl->InsertItem(i, GetPage(i)->GetTitle());
    QObject::connect(m_pTabCtrl->TabBar(), &QTabBar::currentChanged, pDialog,
                     [this](int nIndex) { OnTabChanged(nIndex); });

    m_pWidgets->pageArea = new QScrollArea(pDialog);
    m_pWidgets->pageArea->setGeometry(ToQRect(m_pTabCtrl->GetPageArea()));
    m_pWidgets->pageArea->setFrameShape(QFrame::NoFrame);
    m_pWidgets->pageArea->setFocusPolicy(Qt::NoFocus);
    m_pWidgets->pageArea->setWidgetResizable(true);
    m_pWidgets->pageArea->setWidget(new CPageContainer);
    // What lies beneath (the tree sheet's message where no page is shown) shows through.
    m_pWidgets->pageArea->viewport()->setAutoFillBackground(false);
    m_pWidgets->pageArea->widget()->setAutoFillBackground(false);

    auto* pOK = new QPushButton(QObject::tr("OK"), pDialog);
    auto* pCancel = new QPushButton(QObject::tr("Cancel"), pDialog);
    m_pWidgets->applyButton = new QPushButton(QObject::tr("&Apply"), pDialog);
    pOK->setProperty("ctrlId", IDOK);
    pCancel->setProperty("ctrlId", IDCANCEL);
    m_pWidgets->applyButton->setProperty("ctrlId", ID_APPLY_NOW);
    pOK->setDefault(true);
    m_pWidgets->applyButton->setEnabled(false);
    GiveDialogButtonIcon(pOK, QStyle::SP_DialogOkButton);
    GiveDialogButtonIcon(pCancel, QStyle::SP_DialogCancelButton);
    GiveDialogButtonIcon(m_pWidgets->applyButton, QStyle::SP_DialogApplyButton);
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
    const bool bAnyModified = std::any_of(m_pages.begin(), m_pages.end(),
                                          [](const CPropertyPage* p) { return p->m_bModified; });
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
    // Only a page the user changed writes: opening, looking at or sorting a page leaves its section,
    // and with it the file, exactly as it was read.
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* pPage = GetPage(i);
        if (pPage->GetSafeHwnd() && pPage->m_bModified && !pPage->OnApply())
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
    const bool bAnyModified = std::any_of(m_pages.begin(), m_pages.end(),
                                          [](const CPropertyPage* p) { return p->m_bModified; });
    if (!bAnyModified)
        return TRUE;
    // Closing throws away what the user typed, so it is asked first.
    return AskBeforeLosing(GetSafeHwnd(), "Unsaved Changes", "Discard the changes you made?", "Discard", "Cancel");
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
