#include "TestSupport.h"

#include "app/ConfigDocument.h"
#include "platform/ModalLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

CModalScript::CModalScript()
{
    CModalLoop::SetObserver([this](QDialog* pDialog) {
        if (m_steps.empty()) {
            ++m_nUnexpected;
            ADD_FAILURE() << "an unexpected modal window opened: " << pDialog->windowTitle().toStdString();
            pDialog->reject();
            return;
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
        auto* pBox = qobject_cast<QMessageBox*>(pDialog);
        if (!pBox) {
            ADD_FAILURE() << "expected a message box, got " << pDialog->metaObject()->className();
            pDialog->reject();
            return;
        }
        m_boxes.push_back({pBox->text(), pBox->windowTitle(), pBox->parentWidget()});
        ClickButton(pBox->button(QMessageBox::Ok));
    });
}

void TypeText(QWidget* pWidget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClicks(pWidget, QString(ch));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(pWidget, &press);
            QApplication::sendEvent(pWidget, &release);
        }
    }
}

void ClickButton(QWidget* pButton)
{
    ASSERT_NE(pButton, nullptr);
    QTest::mouseClick(pButton, Qt::LeftButton);
}

CScratchDrive::CScratchDrive()
{
    QDir(m_dir.path()).mkpath("System/Configuration");
}

CString CScratchDrive::Path() const
{
    return CString(m_dir.path().toStdString());
}

std::string CScratchDrive::ConfigPath() const
{
    return m_dir.path().toStdString() + "/System/Configuration/Configuration.xml";
}

std::string CScratchDrive::ScanPath() const
{
    return m_dir.path().toStdString() + "/System/Configuration/scan.xml";
}

void CScratchDrive::WriteConfig(const std::string& bytes) const
{
    WriteFileBytes(ConfigPath(), bytes);
}

void CScratchDrive::WriteScan(const std::string& bytes) const
{
    WriteFileBytes(ScanPath(), bytes);
}

std::string CScratchDrive::ReadConfig() const
{
    return ReadFileBytes(ConfigPath());
}

bool CScratchDrive::ConfigExists() const
{
    return QFile::exists(QString::fromStdString(ConfigPath()));
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
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
