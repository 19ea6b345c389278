#pragma once
// Helpers shared by the tests: acting inside modal loops, scratch frame drives, file bytes.

#include "platform/String.h"

#include <QDialog>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <deque>
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

    const std::vector<SeenMessageBox>& MessageBoxes() const { return m_boxes; }
    int Unexpected() const { return m_nUnexpected; }
    int Remaining() const { return static_cast<int>(m_steps.size()); }

private:
    std::deque<Step> m_steps;
    std::vector<SeenMessageBox> m_boxes;
    int m_nUnexpected = 0;
};

// Types text into a widget as key events, one character at a time; any characters, not only ASCII.
void TypeText(QWidget* pWidget, const QString& text);

// Presses a dialog's button the way a user does, with a mouse click.
void ClickButton(QWidget* pButton);

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

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// A case folder under tests/data.
std::string TestDataPath(const std::string& relative);

// Puts the two documents back to their state before any load.
void ResetDocuments();
