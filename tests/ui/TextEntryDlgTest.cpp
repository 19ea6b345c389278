// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TextEntryDlg.h"

#include "TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CParent : public CWnd
{
public:
    CParent()
    {
        AdoptWindow(new QWidget);
        GetSafeHwnd()->resize(400, 300);
        GetSafeHwnd()->show();
    }
};

template <class T>
T* Control(QDialog* pDialog, int nID)
{
    for (T* pControl : pDialog->findChildren<T*>()) {
        if (pControl->property("ctrlId").toInt() == nID)
            return pControl;
    }
    return nullptr;
}

QLineEdit* Field(QDialog* pDialog, int nIndex)
{
    return Control<QLineEdit>(pDialog, CTextEntryDlg::FIRST_FIELD_ID + nIndex);
}

QPushButton* Button(QDialog* pDialog, int nID)
{
    return Control<QPushButton>(pDialog, nID);
}

} // namespace

TEST(TextEntryDlg, RunsModallyOverItsParentAndOkFollowsTheFieldsAsTheUserTypesAndErases)
{
    CParent parent;
    CTextEntryDlg dlg;
    for (const char* pszLabel : {"First:", "Last:", "Address:"})
        dlg.AddField(pszLabel);
    CModalScript script;
    script.Then([&](QDialog* pDialog) {
        EXPECT_EQ(pDialog->windowTitle(), "Enter Contact Info");
        for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
            EXPECT_GE(pLabel->width(), pLabel->sizeHint().width()) << pLabel->text().toStdString() << " is cut";
        EXPECT_FALSE(parent.GetSafeHwnd()->isEnabled()) << "the parent is disabled while the window runs";
        EXPECT_EQ(pDialog->focusWidget(), Field(pDialog, 0));
        SaveScreenshot(pDialog, "text-entry-3");
        QPushButton* pOK = Button(pDialog, IDOK);
        EXPECT_FALSE(pOK->isEnabled());
        QTest::keyClicks(Field(pDialog, 0), "Ada");
        QTest::keyClicks(Field(pDialog, 2), "ada@example.org");
        EXPECT_FALSE(pOK->isEnabled());
        QTest::keyClicks(Field(pDialog, 1), " ");
        EXPECT_TRUE(pOK->isEnabled()) << "a field of blanks counts as filled";
        QTest::keyClick(Field(pDialog, 1), Qt::Key_Backspace);
        EXPECT_FALSE(pOK->isEnabled());
        QTest::keyClick(Field(pDialog, 1), Qt::Key_Return);
        EXPECT_TRUE(pDialog->isVisible()) << "Enter does nothing while OK is disabled";
        QTest::keyClicks(Field(pDialog, 1), "Lovelace");
        QTest::keyClick(Field(pDialog, 1), Qt::Key_Return);
    });
    EXPECT_EQ(dlg.DoModal(&parent, "Enter Contact Info"), IDOK);
    EXPECT_TRUE(parent.GetSafeHwnd()->isEnabled());
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr) << "the window exists only while it runs";
    EXPECT_EQ(dlg.GetFieldText(0), "Ada");
    EXPECT_EQ(dlg.GetFieldText(1), "Lovelace");
    EXPECT_EQ(dlg.GetFieldText(2), "ada@example.org");
    EXPECT_EQ(dlg.GetFieldText(-1), "");
}

TEST(TextEntryDlg, CancelEscapeAndTheCloseBoxKeepTheTypedTexts)
{
    const std::vector<std::function<void(QDialog*)>> ways = {
        [](QDialog* pDialog) { ClickButton(Button(pDialog, IDCANCEL)); },
        [](QDialog* pDialog) { QTest::keyClick(Field(pDialog, 0), Qt::Key_Escape); },
        [](QDialog* pDialog) { pDialog->close(); }};
    for (const auto& way : ways) {
        CParent parent;
        CTextEntryDlg dlg;
        dlg.AddField("Description:");
        dlg.AddField("URL:", "https://");
        CModalScript script;
        script.Then([&](QDialog* pDialog) {
            QTest::keyClicks(Field(pDialog, 0), "Weather");
            way(pDialog);
        });
        EXPECT_EQ(dlg.DoModal(&parent, "Enter RSS Feed Info"), IDCANCEL);
        EXPECT_EQ(dlg.GetFieldText(0), "Weather");
        EXPECT_EQ(dlg.GetFieldText(1), "https://");
    }
}

TEST(TextEntryDlg, DefaultsTabOrderAndTheTenFieldLimit)
{
    CParent parent;
    CTextEntryDlg dlg;
    for (int i = 0; i < 12; ++i)
        dlg.AddField("Field:", "x", i == 1);
    CModalScript script;
    script.Then([&](QDialog* pDialog) {
        EXPECT_EQ(Field(pDialog, 10), nullptr) << "an eleventh field is ignored";
        EXPECT_TRUE(Button(pDialog, IDOK)->isEnabled()) << "every field starts with its default text";
        pDialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(pDialog));
        Field(pDialog, 0)->setFocus();
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Button(pDialog, IDOK));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Button(pDialog, IDCANCEL));
        ClickButton(Button(pDialog, IDOK));
    });
    EXPECT_EQ(dlg.DoModal(&parent, "Many"), IDOK);
    EXPECT_EQ(dlg.GetFieldText(9), "x");
    EXPECT_EQ(dlg.GetFieldText(10), "");
}
