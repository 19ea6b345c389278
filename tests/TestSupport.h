#pragma once
// Helpers shared by the tests: acting inside modal loops, scratch frame drives, file bytes.

#include "platform/String.h"

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QMessageBox;

// A message box as the user saw it.
struct SeenMessageBox
{
    QString text;
    QString caption;
    QWidget* owner;
};

// Scripts the modal loops of a test: each loop that opens runs the next step, in order. A loop
// that opens with no step left is recorded as unexpected and cancelled, so a test never hangs.
class CModalScript
{
public:
    using Step = std::function<void(QDialog*)>;
    CModalScript();
    ~CModalScript();

    CModalScript& Then(Step step);
    // A step that records a message box and presses its OK button.
    CModalScript& ThenAnswerMessageBox();
    // A step that answers "Unsaved Changes" with Discard.
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

// Types text into a widget as key events, one character at a time; any characters, not only ASCII.
void TypeText(QWidget* pWidget, const QString& text);

class CWnd;
// Empties the edit box nID of a window and types the text into it.
void TypeInto(CWnd& window, int nID, const QString& text);

// Presses a dialog's button the way a user does, with a mouse click.
void ClickButton(QWidget* pButton);
// Clicks a check box or radio button on its indicator, where a user clicks it.
void ClickCheck(QWidget* pButton);

// A scratch frame drive: a temporary folder with System/Configuration inside.
class CScratchDrive
{
public:
    CScratchDrive();
    CString Path() const;
    std::string ConfigPath() const;
    std::string ScanPath() const;
    void WriteConfig(const std::string& bytes) const;
    void WriteScan(const std::string& bytes) const;
    std::string ReadConfig() const;
    bool ConfigExists() const;

private:
    QTemporaryDir m_dir;
};

// A Configuration.xml as the frame writes it, holding these sections.
std::string ConfigFile(const std::string& sections);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A case folder under tests/data.
std::string TestDataPath(const std::string& relative);

// Writes Configuration.xml (and scan.xml when given) to the drive and loads both as start-up does,
// answering the reset message if it comes.
void LoadDrive(const CScratchDrive& drive, const std::string& config, const std::string& scan = std::string());

// The first element of that name in an XML text, printed on its own; empty when absent. Tests compare
// whole sections with it, element by element.
std::string SectionText(const std::string& fileBytes, const char* pszSection);
// Expects the parts in the text, in this order.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& parts);
// How many elements of that name stand directly under Configuration in an XML text.
int CountSections(const std::string& fileBytes, const char* pszSection);

class CPropertySheet;
class CPropertyPage;
// Runs a sheet with these pages; act runs inside its modal loop and must close it.
int RunSheet(const std::vector<CPropertyPage*>& pages, const std::function<void(CPropertySheet&)>& act,
             CModalScript* pScript = nullptr);
// Runs the whole application on a drive: start-up, the sheet (act runs inside its modal loop and must
// close it) and tear-down. Message boxes on the way in are answered with OK and recorded in the script.
void RunApplication(const CScratchDrive& drive, const std::function<void(CPropertySheet&)>& act,
                    CModalScript* pScript = nullptr);
// Runs a sheet with one page, lets input act on it and presses OK; expects the confirm refused with
// exactly one box captioned "Error", owned by the page, and the sheet still open (it is then
// cancelled). Returns the box's text.
QString ConfirmExpectingRefusal(CPropertyPage& page, const std::function<void(CPropertySheet&)>& input);
// Presses a sheet button (IDOK, IDCANCEL, ID_APPLY_NOW) with the mouse.
void PressSheetButton(CPropertySheet& sheet, int nID);
// Whether the sheet's Apply button can be pressed: the sign that a page counts as changed.
bool ApplyEnabled(CPropertySheet& sheet);

// Runs the whole application on a copy of the demo card (examples/demo-drive).
void RunDemoApplication(const std::function<void(CPropertySheet&)>& act, CModalScript* pScript = nullptr);
// With DPF_SCREENSHOT_DIR set, saves the window as DIR/<name><DPF_SCREENSHOT_SUFFIX>.png for a person
// to look at; scripts/screenshots.sh sets the suffix for its run at QT_SCALE_FACTOR=2.
void SaveScreenshot(QWidget* pWindow, const QString& name);

// Puts the two documents back to their state before any load.
void ResetDocuments();
