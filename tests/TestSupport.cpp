// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include "app/KestrovaConfigToolApp.h"
#include "documents/ConfigDocument.h"
#include "platform/ModalLoop.h"
#include "platform/MountedVolumes.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

namespace {
// The dialog as the message box a step expects, or a failure and the dialog cancelled.
QMessageBox* ExpectBox(QDialog* pDialog, const char* pszTitle = nullptr)
{
    auto* pBox = qobject_cast<QMessageBox*>(pDialog);
    if (pBox && (!pszTitle || pBox->windowTitle() == pszTitle))
        return pBox;
    ADD_FAILURE() << "expected " << (pszTitle ? pszTitle : "a message box") << ", got "
                  << pDialog->windowTitle().toStdString();
    pDialog->reject();
    return nullptr;
}

void RecordAndAnswerOk(CModalScript& script, QMessageBox* pBox)
{
    script.Record({pBox->text(), pBox->windowTitle(), pBox->parentWidget()});
    pBox->button(QMessageBox::Ok)->click();
}

// A test's actions must close the sheet; one that fails half-way must not leave it waiting forever.
void CloseLeftOpen(CPropertySheet& sheet)
{
    if (sheet.GetSafeHwnd() && sheet.GetSafeHwnd()->isVisible()) {
        ADD_FAILURE() << "the sheet was left open";
        // Straight to the end: a reject would ask about unsaved changes again.
        static_cast<QDialog*>(sheet.GetSafeHwnd())->done(IDCANCEL);
    }
}
} // namespace

CModalScript::CModalScript()
{
    CModalLoop::SetObserver([this](QDialog* pDialog) {
        if (m_steps.empty()) {
            ++m_nUnexpected;
            ADD_FAILURE() << "an unexpected modal window opened: " << pDialog->windowTitle().toStdString();
            return pDialog->reject();
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(pDialog);
    });
}

CModalScript::~CModalScript()
{
    CModalLoop::SetObserver(nullptr);
}

CModalScript& CModalScript::Then(Step step)
{
    m_steps.push_back(std::move(step));
    return *this;
}

CModalScript& CModalScript::ThenAnswerMessageBox()
{
    return Then([this](QDialog* pDialog) {
        if (QMessageBox* pBox = ExpectBox(pDialog))
            RecordAndAnswerOk(*this, pBox);
    });
}

CModalScript& CModalScript::ThenDiscardChanges()
{
    return Then([](QDialog* pDialog) {
        QMessageBox* pBox = ExpectBox(pDialog, "Unsaved Changes");
        if (!pBox)
            return;
        for (QAbstractButton* pButton : pBox->buttons()) {
            if (pButton->text() == "Discard")
                return ClickButton(pButton);
        }
        ADD_FAILURE() << "no Discard button";
        pDialog->reject();
    });
}

void TypeText(QWidget* pWidget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClicks(pWidget, QString(ch));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(pWidget, &press);
        QApplication::sendEvent(pWidget, &release);
    }
}

void TypeInto(CWnd& window, int nID, const QString& text)
{
    auto* pEdit = qobject_cast<QLineEdit*>(window.GetDlgItem(nID)->GetSafeHwnd());
    ASSERT_NE(pEdit, nullptr) << nID;
    pEdit->selectAll();
    QTest::keyClick(pEdit, Qt::Key_Delete);
    TypeText(pEdit, text);
}

void ClickButton(QWidget* pButton)
{
    ASSERT_NE(pButton, nullptr);
    QTest::mouseClick(pButton, Qt::LeftButton);
}

void ClickCheck(QWidget* pButton)
{
    ASSERT_NE(pButton, nullptr);
    QStyleOptionButton option;
    option.initFrom(pButton);
    const bool bRadio = qobject_cast<QRadioButton*>(pButton) != nullptr;
    const QRect indicator = pButton->style()->subElementRect(
        bRadio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, pButton);
    QTest::mouseClick(pButton, Qt::LeftButton, {}, indicator.center());
}

void ToggleAccessibly(QWidget* pButton)
{
    QAccessibleInterface* pAccessible = QAccessible::queryAccessibleInterface(pButton);
    QAccessibleActionInterface* pActions = pAccessible ? pAccessible->actionInterface() : nullptr;
    ASSERT_NE(pActions, nullptr);
    ASSERT_TRUE(pActions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    pActions->doAction(QAccessibleActionInterface::toggleAction());
}

CScratchDrive::CScratchDrive()
{
    QDir(m_dir.path()).mkpath("System/Configuration");
}

bool CScratchDrive::ConfigExists() const
{
    return QFile::exists(QString::fromStdString(ConfigPath()));
}

std::string ConfigFile(const std::string& sections)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo version=\"100\"><Configuration>"
        + sections + "</Configuration></RootInfo>\n";
}

std::string ReadFileBytes(const std::string& path)
{
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string TestDataPath(const std::string& relative)
{
    return std::string(DPF_TEST_DATA_DIR) + "/" + relative;
}

void ResetDocuments()
{
    theConfigDoc.Clear();
    theConfigDoc.ClearError();
    theConfigElement = nullptr;
    theScanDoc.Clear();
    theScanDoc.ClearError();
    theScanRoot = nullptr;
}

void LoadDrive(const CScratchDrive& drive, const std::string& config, const std::string& scan)
{
    ResetDocuments();
    if (!config.empty())
        drive.WriteConfig(config);
    if (!scan.empty())
        drive.WriteScan(scan);
    SetConfigPaths(drive.Path());
    CModalLoop::SetObserver([](QDialog* pDialog) {
        if (auto* pBox = qobject_cast<QMessageBox*>(pDialog))
            pBox->button(QMessageBox::Ok)->click();
        else
            pDialog->reject();
    });
    LoadConfigDocument();
    LoadScanDocument();
    CModalLoop::SetObserver(nullptr);
}

std::string SectionText(const std::string& fileBytes, const char* pszSection)
{
    // TinyXML saves a section of Configuration on a line of its own, indented by eight blanks. The raw
    // text is compared, so that an element holding an empty text shows as <X></X>, as it is on disk.
    const std::string indent = "\n        ";
    const std::string open = indent + "<" + pszSection;
    size_t nStart = fileBytes.find(open);
    // The name must end where the tag's name ends: attributes may follow it.
    while (nStart != std::string::npos && !std::strchr(" />", fileBytes[nStart + open.size()]))
        nStart = fileBytes.find(open, nStart + 1);
    if (nStart == std::string::npos)
        return std::string();
    const size_t nTagEnd = fileBytes.find('>', nStart);
    const std::string close = fileBytes[nTagEnd - 1] == '/' ? std::string() : std::string("</") + pszSection + ">";
    const size_t nEnd = close.empty() ? nTagEnd + 1 : fileBytes.find(close, nStart);
    if (nEnd == std::string::npos)
        return std::string();
    std::string text = fileBytes.substr(nStart, nEnd + close.size() - nStart) + "\n";
    for (size_t n = text.find(indent); n != std::string::npos; n = text.find(indent, n + 1))
        text.erase(n + 1, 8);
    return text.substr(1);
}

void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts)
{
    size_t nAt = 0;
    for (const std::string& part : parts) {
        const size_t nFound = text.find(part, nAt);
        ASSERT_NE(nFound, std::string::npos) << "\"" << part << "\" missing or out of order in\n" << text;
        nAt = nFound + part.size();
    }
}

int RunSheet(const std::vector<CPropertyPage*>& pages, const SheetAction& act, CModalScript* pScript)
{
    CPropertySheet sheet("DPF Settings");
    sheet.SetCommitHandler([](CWnd* pOwner) { return SaveConfigChanges(pOwner); });
    for (CPropertyPage* pPage : pages)
        sheet.AddPage(pPage);
    std::optional<CModalScript> own;
    (pScript ? *pScript : own.emplace()).Then([&](QDialog*) {
        act(sheet);
        CloseLeftOpen(sheet);
    });
    return static_cast<int>(sheet.DoModal());
}

void PressSheetButton(CPropertySheet& sheet, int nID)
{
    CWnd* pButton = sheet.GetDlgItem(nID);
    ASSERT_NE(pButton, nullptr);
    // Through the window system, as a real click comes: a window modal over the sheet blocks it.
    QWidget* pWidget = pButton->GetSafeHwnd();
    QWindow* pWindow = pWidget->window()->windowHandle();
    ASSERT_NE(pWindow, nullptr);
    QTest::mouseClick(pWindow, Qt::LeftButton, {}, pWidget->mapTo(pWidget->window(), pWidget->rect().center()));
}

bool ApplyEnabled(CPropertySheet& sheet)
{
    return sheet.GetDlgItem(ID_APPLY_NOW)->GetSafeHwnd()->isEnabled();
}

void RunApplication(const CScratchDrive& drive, const SheetAction& act, CModalScript* pScript)
{
    ResetDocuments();
    std::optional<CModalScript> own;
    CModalScript& script = pScript ? *pScript : own.emplace();
    std::function<void(QDialog*)> step = [&](QDialog* pDialog) {
        if (auto* pBox = qobject_cast<QMessageBox*>(pDialog)) {
            RecordAndAnswerOk(script, pBox);
            script.Then(step);
            return;
        }
        auto* pSheet = dynamic_cast<CPropertySheet*>(theApp.m_pMainWnd);
        ASSERT_NE(pSheet, nullptr);
        act(*pSheet);
        CloseLeftOpen(*pSheet);
    };
    script.Then(step);
    theApp.SetDriveOverride(drive.Path());
    theApp.InitInstance();
}

void RunDemoApplication(const SheetAction& act, CModalScript* pScript)
{
    CScratchDrive drive;
    const std::string folder = std::string(DPF_DEMO_DRIVE_DIR) + "/System/Configuration/";
    drive.WriteConfig(ReadFileBytes(folder + "Configuration.xml"));
    drive.WriteScan(ReadFileBytes(folder + "scan.xml"));
    RunApplication(drive, act, pScript);
}

QString ConfirmExpectingRefusal(CPropertyPage& page, const SheetAction& input)
{
    CModalScript script;
    QWidget* pOwner = nullptr;
    RunSheet(
        {&page},
        [&](CPropertySheet& sheet) {
            pOwner = page.GetSafeHwnd();
            input(sheet);
            script.ThenAnswerMessageBox();
            PressSheetButton(sheet, IDOK);
            EXPECT_TRUE(sheet.GetSafeHwnd()->isVisible()) << "the sheet stays open";
            if (ApplyEnabled(sheet))
                script.ThenDiscardChanges();
            PressSheetButton(sheet, IDCANCEL);
        },
        &script);
    EXPECT_EQ(script.MessageBoxes().size(), 1u);
    if (script.MessageBoxes().empty())
        return QString();
    EXPECT_EQ(script.MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(script.MessageBoxes()[0].owner, pOwner);
    return script.MessageBoxes()[0].text;
}

CDesktopFont::CDesktopFont(int nPoints) : m_pSaved(std::make_unique<QFont>(QApplication::font()))
{
    if (nPoints > 0) {
        QFont font = *m_pSaved;
        font.setPointSize(nPoints);
        QApplication::setFont(font);
    }
}

CDesktopFont::~CDesktopFont()
{
    QApplication::setFont(*m_pSaved);
}

void SaveScreenshot(QWidget* pWindow, const QString& name)
{
    const QString dir = qEnvironmentVariable("DPF_SCREENSHOT_DIR");
    // Qt shows or hides scroll bars in a queued call; the picture is of the settled window.
    QApplication::processEvents();
    if (!dir.isEmpty())
        pWindow->grab().save(dir + "/" + name + qEnvironmentVariable("DPF_SCREENSHOT_SUFFIX") + ".png");
}

void UseTestMountTable(std::vector<CMountedVolume> table)
{
    SetMountTableSource([table = std::move(table)]() { return table; });
}
