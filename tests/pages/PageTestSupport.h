// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the page tests share: a fixture with a scratch card and the case folders to put on it, the
// frame's scrambled texts, and a page's controls driven the way a user drives them.

#include "TestSupport.h"
#include "documents/ScrambledText.h"
#include "ui/ReportCtrl.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// A case folder tests/pages/data/<name> holds a card's Configuration.xml, its scan.xml when it has
// one, and the expected.xml that the test's confirm must write, compared whole.
inline std::string CaseFolder(const std::string& name)
{
    return TestDataPath("../pages/data/" + name);
}

class CPageTest : public ::testing::Test
{
protected:
    void TearDown() override { ResetDocuments(); }
    // Puts the case's files on the card and returns its Configuration.xml.
    std::string UseCase(const std::string& name)
    {
        m_folder = CaseFolder(name);
        if (QFile::exists(QString::fromStdString(m_folder + "/scan.xml")))
            m_drive.WriteScan(ReadFileBytes(m_folder + "/scan.xml"));
        const std::string config = ReadFileBytes(m_folder + "/Configuration.xml");
        m_drive.WriteConfig(config);
        return config;
    }
    void ExpectWritten() const { EXPECT_EQ(m_drive.ReadConfig(), ReadFileBytes(m_folder + "/expected.xml")); }

    CScratchDrive m_drive;
    std::string m_folder;
};

inline std::string Scrambled(const char* pszPlain)
{
    return ScrambleText(pszPlain, CONFIG_KEY_TEXT).Bytes();
}

inline QLineEdit* Edit(CWnd& window, int nID)
{
    return qobject_cast<QLineEdit*>(window.GetDlgItem(nID)->GetSafeHwnd());
}

// Chooses an entry of a drop-down list with the keyboard.
inline void Choose(CWnd& window, int nID, const char* pszEntry)
{
    auto* pCombo = qobject_cast<QComboBox*>(window.GetDlgItem(nID)->GetSafeHwnd());
    pCombo->setFocus();
    const int nTarget = pCombo->findText(pszEntry);
    ASSERT_GE(nTarget, 0) << pszEntry;
    while (pCombo->currentIndex() != nTarget)
        QTest::keyClick(pCombo, pCombo->currentIndex() < nTarget ? Qt::Key_Down : Qt::Key_Up);
}

// A list's texts in one column, top to bottom.
inline std::vector<std::string> Column(CReportCtrl& list, int nCol = 0)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list.GetItemCount(); ++i)
        texts.push_back(list.CListCtrl::GetItemText(i, nCol).Bytes());
    return texts;
}

// Adds a row to a list's selection, with Ctrl and a click.
inline void CtrlClickRow(CReportCtrl& list, int nRow)
{
    auto* pTable = qobject_cast<QTableView*>(list.GetSafeHwnd());
    QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      pTable->visualRect(pTable->model()->index(nRow, 0)).center());
}

// A text entry window's step: types the texts into its fields, top to bottom, and presses OK.
inline CModalScript::Step TypeAndConfirm(std::vector<QString> texts)
{
    return [texts](QDialog* pDialog) {
        auto edits = pDialog->findChildren<QLineEdit*>();
        std::sort(edits.begin(), edits.end(), [](QLineEdit* a, QLineEdit* b) { return a->y() < b->y(); });
        ASSERT_EQ(edits.size(), static_cast<qsizetype>(texts.size()));
        for (size_t i = 0; i < texts.size(); ++i)
            TypeText(edits[static_cast<qsizetype>(i)], texts[i]);
        for (QPushButton* pButton : pDialog->findChildren<QPushButton*>()) {
            if (pButton->text() == "OK")
                ClickButton(pButton);
        }
    };
}
