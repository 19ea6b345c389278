// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/PropertySheet.h"

#include "TestSupport.h"
#include "res/Resource.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

enum { IDC_NAME = 2001, IDC_FLAG = 2002 };

// A page that notes every call the sheet makes on it in a shared log, with two controls of its own.
class CLoggingPage : public CPropertyPage
{
public:
    CLoggingPage(const char* pszName, std::string& log) : CPropertyPage(IDD_EMAIL), m_title(pszName), m_log(log)
    {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_title;
    }

    BOOL OnInitDialog() override
    {
        Note("OnInitDialog");
        (new QLineEdit(GetSafeHwnd()))->setProperty("ctrlId", IDC_NAME);
        auto* pFlag = new QCheckBox("Flag", GetSafeHwnd());
        pFlag->setProperty("ctrlId", IDC_FLAG);
        pFlag->move(0, 40);
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override { return Note("OnSetActive") && CPropertyPage::OnSetActive(); }
    BOOL OnKillActive() override { return Note("OnKillActive") && !m_bRefuseToLeave && CPropertyPage::OnKillActive(); }
    BOOL CheckInput() override { return Note("CheckInput") && m_bCheckResult; }
    BOOL OnApply() override { return Note("OnApply") && m_bApplyResult; }
    void OnFlagClicked() { Note("OnFlagClicked"); }
    void OnNameChanged() { SetModified(Note("OnNameChanged")); }

    CString m_strName;
    int m_bFlag = 0;
    bool m_bApplyResult = true;
    bool m_bCheckResult = true;
    bool m_bRefuseToLeave = false;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Check(pDX, IDC_FLAG, m_bFlag);
    }
    const CCommandMap& GetCommandMap() const override
    {
        static const CCommandMap map = {OnBnClicked(IDC_FLAG, &CLoggingPage::OnFlagClicked),
                                        OnEnChange(IDC_NAME, &CLoggingPage::OnNameChanged)};
        return map;
    }

private:
    bool Note(const char* pszCall)
    {
        m_log += (m_log.empty() ? "" : " ") + m_title.Bytes() + "." + pszCall;
        return true;
    }
    CString m_title;
    std::string& m_log;
};

class PropertySheetTest : public ::testing::Test
{
protected:
    PropertySheetTest()
    {
        for (CLoggingPage* pPage : {&m_a, &m_b, &m_c})
            m_sheet.AddPage(pPage);
        m_sheet.SetCommitHandler([this](CWnd*) {
            m_log += " commit";
            return TRUE;
        });
    }

    QWidget* Button(int nID) { return m_sheet.GetDlgItem(nID)->GetSafeHwnd(); }
    QTabBar* Tabs() { return m_sheet.GetSafeHwnd()->findChild<QTabBar*>(); }
    void ClickTab(int nIndex) { QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(nIndex).center()); }
    QWidget* NameBox() { return m_a.GetDlgItem(IDC_NAME)->GetSafeHwnd(); }

    std::string m_log;
    CLoggingPage m_a{"A", m_log};
    CLoggingPage m_b{"B", m_log};
    CLoggingPage m_c{"C", m_log};
    CPropertySheet m_sheet{"Sheet"};
    CModalScript m_script;
};

} // namespace

TEST_F(PropertySheetTest, PagesAreMadeOnceOnFirstShowKeptWhileTheyRefuseToGoAndEnterConfirmsTheShownInPageOrder)
{
    m_sheet.SetActivePage(&m_b);
    m_script.Then([this](QDialog* pDialog) {
        EXPECT_EQ(m_a.GetSafeHwnd(), nullptr);
        ClickTab(0);
        ClickTab(1);
        ClickTab(0);
        EXPECT_EQ(m_log,
                  "B.OnInitDialog B.OnSetActive B.OnKillActive A.OnInitDialog A.OnSetActive A.OnKillActive "
                  "B.OnSetActive B.OnKillActive A.OnSetActive");
        m_a.m_bRefuseToLeave = true;
        ClickTab(2);
        EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
        EXPECT_EQ(Tabs()->currentIndex(), 0);
        EXPECT_FALSE(m_sheet.SetActivePage(2));
        EXPECT_EQ(m_c.GetSafeHwnd(), nullptr);
        m_a.m_bRefuseToLeave = false;
        m_b.SetModified(TRUE);
        TypeText(NameBox(), "x");
        m_log.clear();
        QTest::keyClick(pDialog->focusWidget() ? pDialog->focusWidget() : pDialog, Qt::Key_Return);
    });
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    // A before B although B was shown first; C was never shown and is never confirmed.
    EXPECT_EQ(m_log, "A.OnKillActive A.CheckInput B.CheckInput A.OnApply B.OnApply commit");
    EXPECT_EQ(m_a.GetSafeHwnd(), nullptr) << "page windows go with the sheet";
}

TEST_F(PropertySheetTest, ConfirmChecksEveryPageBeforeAnyWritesAndShowsTheFirstThatFails)
{
    m_b.m_bCheckResult = false;
    m_script.Then([this](QDialog* pDialog) {
        ClickTab(1);
        ClickTab(2);
        for (CLoggingPage* pPage : {&m_a, &m_b, &m_c})
            pPage->SetModified(TRUE);
        m_log.clear();
        ClickButton(Button(IDOK));
        // Nothing is written, nothing saved, and the page that refused is the one shown.
        EXPECT_EQ(m_log, "C.OnKillActive A.CheckInput B.CheckInput C.OnKillActive B.OnSetActive");
        EXPECT_TRUE(pDialog->isVisible());
        EXPECT_EQ(m_sheet.GetActiveIndex(), 1);
        EXPECT_EQ(Tabs()->currentIndex(), 1);
        // A page whose write fails stops the confirm before the file is saved.
        m_b.m_bCheckResult = true;
        m_b.m_bApplyResult = false;
        m_log.clear();
        ClickButton(Button(IDOK));
        EXPECT_EQ(m_log, "B.OnKillActive A.CheckInput B.CheckInput C.CheckInput A.OnApply B.OnApply");
        m_b.m_bApplyResult = true;
        m_log.clear();
        ClickButton(Button(IDOK));
    });
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    EXPECT_EQ(m_log, "B.OnKillActive A.CheckInput B.CheckInput C.CheckInput A.OnApply B.OnApply C.OnApply commit");
}

TEST_F(PropertySheetTest, CancelEscapeAndTheCloseBoxApplyNothingAndAskFirstWhenAPageIsModified)
{
    const std::vector<std::function<void(QDialog*)>> ways = {[this](QDialog*) { ClickButton(Button(IDCANCEL)); },
                                                             [](QDialog* p) { QTest::keyClick(p, Qt::Key_Escape); },
                                                             [](QDialog* p) { p->close(); }};
    for (const auto& way : ways) {
        m_script.Then(way);
        EXPECT_EQ(m_sheet.DoModal(), IDCANCEL) << "unmodified, closed at once";
        // Modified: asked; "Cancel" and Escape stay on the sheet, "Discard" closes it.
        QStringList seen;
        m_script.Then([&](QDialog* pDialog) {
            QTest::keyClicks(NameBox(), "x");
            m_script.Then([&](QDialog* pBox) {
                auto* pQuestion = qobject_cast<QMessageBox*>(pBox);
                ASSERT_NE(pQuestion, nullptr);
                seen << pQuestion->windowTitle() << pQuestion->text() << pQuestion->defaultButton()->text();
                ClickButton(pQuestion->defaultButton());
            });
            way(pDialog);
            EXPECT_TRUE(pDialog->isVisible());
            m_script.Then([](QDialog* pBox) { QTest::keyClick(pBox, Qt::Key_Escape); });
            way(pDialog);
            EXPECT_TRUE(pDialog->isVisible());
            m_script.ThenDiscardChanges();
            way(pDialog);
        });
        EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(seen, (QStringList{"Unsaved Changes", "Discard the changes you made?", "Cancel"}));
    }
    EXPECT_EQ(m_log.find("OnApply"), std::string::npos);
    EXPECT_EQ(m_script.Unexpected(), 0);
    EXPECT_EQ(m_script.Remaining(), 0);
}

TEST_F(PropertySheetTest, ControlsExchangeTheirValuesRouteUserActionsAndEnableApplyWhichConfirmsAndStaysOpen)
{
    m_a.m_strName = CString("Caf\xE9 \xFF");
    m_a.m_bFlag = 1;
    m_script.Then([this](QDialog* pDialog) {
        auto* pName = qobject_cast<QLineEdit*>(NameBox());
        auto* pFlag = qobject_cast<QCheckBox*>(m_a.GetDlgItem(IDC_FLAG)->GetSafeHwnd());
        ASSERT_TRUE(pName && pFlag);
        EXPECT_TRUE(pFlag->isChecked());
        QWidget* pApply = Button(ID_APPLY_NOW);
        EXPECT_FALSE(pApply->isEnabled()) << "filling a control or showing a page is no edit";
        // Bytes that are not UTF-8 come back as they were while the user leaves them alone...
        m_a.UpdateData(TRUE);
        EXPECT_EQ(m_a.m_strName.Bytes(), "Caf\xE9 \xFF");
        // ...and what the user types comes back as UTF-8.
        m_log.clear();
        pName->clear();
        TypeText(pName, QString::fromUtf8("Zo\xC3\xAB"));
        ClickCheck(pFlag);
        // Assistive technology toggles without a click, and is heard all the same; the program's own
        // setting of the box is not.
        ToggleAccessibly(pFlag);
        m_a.UpdateData(TRUE);
        m_a.m_bFlag = 0;
        m_a.UpdateData(FALSE);
        EXPECT_EQ(m_log, "A.OnNameChanged A.OnNameChanged A.OnNameChanged A.OnFlagClicked A.OnFlagClicked");
        EXPECT_TRUE(pApply->isEnabled());
        m_log.clear();
        ClickButton(pApply);
        EXPECT_EQ(m_log, "A.OnKillActive A.CheckInput A.OnApply commit");
        EXPECT_EQ(m_a.m_strName.Bytes(), "Zo\xC3\xAB");
        EXPECT_EQ(m_a.m_bFlag, 0);
        EXPECT_FALSE(pApply->isEnabled());
        EXPECT_TRUE(pDialog->isVisible());
        ClickButton(Button(IDCANCEL));
    });
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
}
