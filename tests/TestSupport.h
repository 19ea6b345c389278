// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the tests: acting inside modal loops, scratch frame drives, file bytes.

#include "platform/MountedVolumes.h"
#include "platform/String.h"

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CWnd;
class QFont;
class CPropertySheet;
class CPropertyPage;
struct SeenMessageBox
{
    QString text;
    QString caption;
    QWidget* owner;
};

// Each modal loop that opens runs the next step, in order. A loop that opens with no step left is
// recorded as unexpected and cancelled, so a test never hangs.
class CModalScript
{
public:
    using Step = std::function<void(QDialog*)>;
    CModalScript();
    ~CModalScript();

    CModalScript& Then(Step step);
    // Records a message box and presses its OK button.
    CModalScript& ThenAnswerMessageBox();
    // Answers "Unsaved Changes" with Discard.
    CModalScript& ThenDiscardChanges();

    const std::vector<SeenMessageBox>& MessageBoxes() const { return m_boxes; }
    void Record(const SeenMessageBox& box) { m_boxes.push_back(box); }
    int Unexpected() const { return m_nUnexpected; }
    int Remaining() const { return static_cast<int>(m_steps.size()); }

private:
    std::deque<Step> m_steps;
    std::vector<SeenMessageBox> m_boxes;
    int m_nUnexpected = 0;
};

// Types any characters, not only ASCII, as key events.
void TypeText(QWidget* pWidget, const QString& text);
// Empties the edit box nID of a window and types the text into it.
void TypeInto(CWnd& window, int nID, const QString& text);
// Mouse clicks as a user makes them; a check box or radio button is clicked on its indicator.
void ClickButton(QWidget* pButton);
void ClickCheck(QWidget* pButton);
// Toggles a check box or radio button as a screen reader, switch access or voice control does.
void ToggleAccessibly(QWidget* pButton);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A case folder under tests/data.
std::string TestDataPath(const std::string& relative);

// A scratch frame drive: a temporary folder with System/Configuration inside.
class CScratchDrive
{
public:
    CScratchDrive();
    CString Path() const { return CString(m_dir.path().toStdString()); }
    std::string ConfigPath() const { return Folder() + "Configuration.xml"; }
    std::string ScanPath() const { return Folder() + "scan.xml"; }
    void WriteConfig(const std::string& bytes) const { WriteFileBytes(ConfigPath(), bytes); }
    void WriteScan(const std::string& bytes) const { WriteFileBytes(ScanPath(), bytes); }
    std::string ReadConfig() const { return ReadFileBytes(ConfigPath()); }
    bool ConfigExists() const;

private:
    std::string Folder() const { return m_dir.path().toStdString() + "/System/Configuration/"; }
    QTemporaryDir m_dir;
};

// A Configuration.xml as the frame writes it, holding these sections.
std::string ConfigFile(const std::string& sections);
// Writes the files (scan.xml when given) and loads both as start-up does, answering the reset message.
void LoadDrive(const CScratchDrive& drive, const std::string& config, const std::string& scan = std::string());
// The first such section of Configuration, printed on its own; empty when absent.
std::string SectionText(const std::string& fileBytes, const char* pszSection);
void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts);

// Runs a sheet with these pages; act runs inside its modal loop and must close it.
using SheetAction = std::function<void(CPropertySheet&)>;
int RunSheet(const std::vector<CPropertyPage*>& pages, const SheetAction& act, CModalScript* pScript = nullptr);
// Start-up, the sheet (act as above) and tear-down; message boxes on the way in are answered with OK
// and recorded in the script. The demo runs on a copy of examples/demo-drive.
void RunApplication(const CScratchDrive& drive, const SheetAction& act, CModalScript* pScript = nullptr);
void RunDemoApplication(const SheetAction& act, CModalScript* pScript = nullptr);
// Lets input act on a sheet of this page and presses OK; expects the confirm refused with one box
// captioned "Error", owned by the page, the sheet still open (it is then cancelled). Returns its text.
QString ConfirmExpectingRefusal(CPropertyPage& page, const SheetAction& input);
// IDOK, IDCANCEL or ID_APPLY_NOW, pressed with the mouse.
void PressSheetButton(CPropertySheet& sheet, int nID);
// The sign that a page counts as changed.
bool ApplyEnabled(CPropertySheet& sheet);

// The desktop's font at nPoints points for the object's life (0: left as it is).
class CDesktopFont
{
public:
    explicit CDesktopFont(int nPoints);
    ~CDesktopFont();

private:
    std::unique_ptr<QFont> m_pSaved;
};

// With DPF_SCREENSHOT_DIR set, saves DIR/<name><DPF_SCREENSHOT_SUFFIX>.png for a person to look at.
void SaveScreenshot(QWidget* pWindow, const QString& name);
// Puts the two documents back to their state before any load.
void ResetDocuments();
// The mount table the tests see instead of the machine's: these volumes, by default none.
void UseTestMountTable(std::vector<CMountedVolume> table = {});
