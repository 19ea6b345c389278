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

#include <string>
#include <vector>

namespace {

enum { IDC_NAME = 2001, IDC_FLAG = 2002 };

// A page that logs every call the sheet makes on it, with a few controls of its own.
class CLoggingPage : public CPropertyPage
{
public:
    CLoggingPage(std::string name, std::vector<std::string>& log)
        : CPropertyPage(IDD_EMAIL), m_name(std::move(name)), m_log(log)
    {
        m_title = m_name;
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = m_title;
    }

    BOOL OnInitDialog() override
    {
        m_log.push_back(m_name + ".OnInitDialog");
        auto* pName = new QLineEdit(GetSafeHwnd());
        pName->setProperty("ctrlId", IDC_NAME);
        auto* pFlag = new QCheckBox("Flag", GetSafeHwnd());
        pFlag->setProperty("ctrlId", IDC_FLAG);
        pFlag->move(0, 40);
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        m_log.push_back(m_name + ".OnSetActive");
        return CPropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override
    {
        m_log.push_back(m_name + ".OnKillActive");
        return m_bRefuseToLeave ? FALSE : CPropertyPage::OnKillActive();
    }
    BOOL CheckInput() override
    {
        m_log.push_back(m_name + ".CheckInput");
        return m_bCheckResult;
    }
    BOOL OnApply() override
    {
        m_log.push_back(m_name + ".OnApply");
        return m_bApplyResult;
    }

    void OnFlagClicked() { m_log.push_back(m_name + ".OnFlagClicked"); }
    void OnNameChanged()
    {
        m_log.push_back(m_name + ".OnNameChanged");
        SetModified(TRUE);
    }

    CString m_strName;
    int m_bFlag = 0;
    BOOL m_bApplyResult = TRUE;
    BOOL m_bCheckResult = TRUE;
    BOOL m_bRefuseToLeave = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Check(pDX, IDC_FLAG, m_bFlag);
    }
    const CCommandMap& GetCommandMap() const override
    {
        static const CCommandMap map = {
            OnBnClicked(IDC_FLAG, &CLoggingPage::OnFlagClicked),
            OnEnChange(IDC_NAME, &CLoggingPage::OnNameChanged),
        };
        return map;
    }

private:
    std::string m_name;
    CString m_title;
    std::vector<std::string>& m_log;
};

class PropertySheetTest : public ::testing::Test
{
protected:
    PropertySheetTest() : m_a("A", m_log), m_b("B", m_log), m_c("C", m_log)
    {
        m_sheet.AddPage(&m_a);
        m_sheet.AddPage(&m_b);
        m_sheet.AddPage(&m_c);
        m_sheet.SetCommitHandler([this](CWnd*) {
            m_log.push_back("commit");
            return TRUE;
        });
    }

    QWidget* Button(int nID) { return m_sheet.GetDlgItem(nID)->GetSafeHwnd(); }
    QTabBar* Tabs() { return m_sheet.GetSafeHwnd()->findChild<QTabBar*>(); }
    void ClickTab(int nIndex) { QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(nIndex).center()); }

    std::vector<std::string> m_log;
    CLoggingPage m_a;
    CLoggingPage m_b;
    CLoggingPage m_c;
    CPropertySheet m_sheet{"Sheet"};
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(PropertySheetTest, PagesAreMadeOnceOnFirstActivationAndOkAppliesOnlyThoseInPageOrder)
{
    m_sheet.SetActivePage(&m_b);
    CModalScript script;
    script.Then([this](QDialog*) {
        EXPECT_EQ(m_a.GetSafeHwnd(), nullptr);
        ClickTab(0);
        ClickTab(1);
        ClickTab(0);
        EXPECT_EQ(m_log,
                  (Log{"B.OnInitDialog", "B.OnSetActive", "B.OnKillActive", "A.OnInitDialog", "A.OnSetActive",
                       "A.OnKillActive", "B.OnSetActive", "B.OnKillActive", "A.OnSetActive"}));
        m_log.clear();
        ClickButton(Button(IDOK));
    });
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    EXPECT_EQ(script.Remaining(), 0);
    // A before B although B was shown first; C was never shown and is never confirmed.
    EXPECT_EQ(m_log, (Log{"A.OnKillActive", "A.CheckInput", "B.CheckInput", "A.OnApply", "B.OnApply", "commit"}));
    EXPECT_EQ(m_a.GetSafeHwnd(), nullptr) << "page windows go with the sheet";
}

TEST_F(PropertySheetTest, ConfirmChecksEveryPageBeforeAnyWritesAndShowsTheFirstThatFails)
{
    m_b.m_bCheckResult = FALSE;
    CModalScript script;
    script.Then([this](QDialog* pDialog) {
        ClickTab(1);
        ClickTab(2);
        m_log.clear();
        ClickButton(Button(IDOK));
        // Nothing is written, nothing saved, and the page that refused is the one shown.
        EXPECT_EQ(m_log, (Log{"C.OnKillActive", "A.CheckInput", "B.CheckInput", "C.OnKillActive", "B.OnSetActive"}));
        EXPECT_TRUE(pDialog->isVisible());
        EXPECT_EQ(m_sheet.GetActiveIndex(), 1);
        EXPECT_EQ(Tabs()->currentIndex(), 1);
        // A page whose write fails stops the confirm before the file is saved.
        m_b.m_bCheckResult = TRUE;
        m_b.m_bApplyResult = FALSE;
        m_log.clear();
        ClickButton(Button(IDOK));
        EXPECT_EQ(m_log,
                  (Log{"B.OnKillActive", "A.CheckInput", "B.CheckInput", "C.CheckInput", "A.OnApply", "B.OnApply"}));
        m_b.m_bApplyResult = TRUE;
        m_log.clear();
        ClickButton(Button(IDOK));
    });
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    EXPECT_EQ(m_log,
              (Log{"B.OnKillActive", "A.CheckInput", "B.CheckInput", "C.CheckInput", "A.OnApply", "B.OnApply",
                   "C.OnApply", "commit"}));
}

TEST_F(PropertySheetTest, CancelEscapeAndTheCloseBoxApplyNothingAndAskFirstWhenAPageIsModified)
{
    const std::vector<std::function<void(QDialog*)>> ways = {[this](QDialog*) { ClickButton(Button(IDCANCEL)); },
                                                             [](QDialog* p) { QTest::keyClick(p, Qt::Key_Escape); },
                                                             [](QDialog* p) { p->close(); }};
    const auto applied = [this] {
        return std::count_if(m_log.begin(), m_log.end(),
                             [](const std::string& s) { return s.find("OnApply") != std::string::npos; });
    };
    for (const auto& way : ways) {
        // Unmodified: closed at once.
        m_log.clear();
        CModalScript script;
        script.Then(way);
        EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(applied(), 0);
        EXPECT_EQ(script.Unexpected(), 0);
    }
    for (const auto& way : ways) {
        // Modified: asked; "Cancel" and Escape stay on the sheet, "Discard" closes it.
        m_log.clear();
        CModalScript script;
        QStringList seen;
        script.Then([&](QDialog* pDialog) {
            QTest::keyClicks(m_a.GetDlgItem(IDC_NAME)->GetSafeHwnd(), "x");
            script.Then([&](QDialog* pBox) {
                auto* pQuestion = qobject_cast<QMessageBox*>(pBox);
                ASSERT_NE(pQuestion, nullptr);
                seen << pQuestion->windowTitle() << pQuestion->text() << pQuestion->defaultButton()->text();
                ClickButton(pQuestion->defaultButton());
            });
            way(pDialog);
            EXPECT_TRUE(pDialog->isVisible());
            script.Then([](QDialog* pBox) { QTest::keyClick(pBox, Qt::Key_Escape); });
            way(pDialog);
            EXPECT_TRUE(pDialog->isVisible());
            script.ThenDiscardChanges();
            way(pDialog);
        });
        EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
        EXPECT_EQ(seen, (QStringList{"Unsaved Changes", "Discard the changes you made?", "Cancel"}));
        EXPECT_EQ(applied(), 0);
        EXPECT_EQ(script.Remaining(), 0);
    }
}

TEST_F(PropertySheetTest, EnterConfirmsLikeOk)
{
    CModalScript script;
    script.Then([](QDialog* pDialog) {
        QTest::keyClick(pDialog->focusWidget() ? pDialog->focusWidget() : pDialog, Qt::Key_Return);
    });
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    EXPECT_EQ(m_log.back(), "commit");
    EXPECT_EQ(m_log[m_log.size() - 2], "A.OnApply");
}

TEST_F(PropertySheetTest, EditsEnableApplyWhichConfirmsAndStaysOpen)
{
    CModalScript script;
    script.Then([this](QDialog* pDialog) {
        QWidget* pApply = Button(ID_APPLY_NOW);
        EXPECT_FALSE(pApply->isEnabled()) << "showing a page is no edit";
        QTest::keyClicks(m_a.GetDlgItem(IDC_NAME)->GetSafeHwnd(), "Anna");
        EXPECT_TRUE(pApply->isEnabled());
        m_log.clear();
        ClickButton(pApply);
        EXPECT_EQ(m_log, (Log{"A.OnKillActive", "A.CheckInput", "A.OnApply", "commit"}));
        EXPECT_EQ(m_a.m_strName, "Anna");
        EXPECT_FALSE(pApply->isEnabled());
        EXPECT_TRUE(pDialog->isVisible());
        ClickButton(Button(IDCANCEL));
    });
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
}

TEST_F(PropertySheetTest, PageThatRefusesToBeLeftKeepsItsTab)
{
    m_a.m_bRefuseToLeave = TRUE;
    CModalScript script;
    script.Then([this](QDialog*) {
        ClickTab(2);
        EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
        EXPECT_EQ(Tabs()->currentIndex(), 0);
        EXPECT_EQ(m_c.GetSafeHwnd(), nullptr);
        EXPECT_FALSE(m_sheet.SetActivePage(2));
        ClickButton(Button(IDCANCEL));
    });
    m_sheet.DoModal();
}

TEST_F(PropertySheetTest, ControlsExchangeTheirValuesAndRouteUserActions)
{
    m_a.m_strName = CString("Caf\xE9 \xFF");
    m_a.m_bFlag = 1;
    CModalScript script;
    script.Then([this, &script](QDialog*) {
        auto* pName = qobject_cast<QLineEdit*>(m_a.GetDlgItem(IDC_NAME)->GetSafeHwnd());
        auto* pFlag = qobject_cast<QCheckBox*>(m_a.GetDlgItem(IDC_FLAG)->GetSafeHwnd());
        ASSERT_TRUE(pName && pFlag);
        EXPECT_TRUE(pFlag->isChecked());
        EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "A.OnNameChanged"), 0) << "filling a control is no edit";

        // Bytes that are not UTF-8 come back as they were while the user leaves them alone...
        m_a.UpdateData(TRUE);
        EXPECT_EQ(m_a.m_strName.Bytes(), "Caf\xE9 \xFF");
        // ...and what the user types comes back as UTF-8.
        pName->clear();
        TypeText(pName, QString::fromUtf8("Zo\xC3\xAB"));
        ClickCheck(pFlag);
        m_a.UpdateData(TRUE);
        EXPECT_EQ(m_a.m_strName.Bytes(), "Zo\xC3\xAB");
        EXPECT_EQ(m_a.m_bFlag, 0);
        EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "A.OnFlagClicked"), 1);
        EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "A.OnNameChanged"), 3);

        script.ThenDiscardChanges();
        ClickButton(Button(IDCANCEL));
    });
    m_sheet.DoModal();
}
