// Fuzz target: bytes become a frame drive's Configuration.xml and scan.xml (split at the first
// "\n=====scan=====\n"); start-up runs on them, every page is shown, the sheet is confirmed (or
// cancelled when a page refuses its input) and the saved file is loaded again. Built with libFuzzer
// by scripts/fuzz.sh, and replayed over the corpus by the test suite.

#include "app/ConfigDocument.h"
#include "app/KestrovaConfigToolApp.h"
#include "platform/ModalLoop.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

QApplication* g_pApp = nullptr;

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Answers every message box with OK; shows every page of the sheet, then confirms it, and cancels
// when a page keeps the sheet open.
void Drive(QDialog* pDialog)
{
    if (auto* pBox = qobject_cast<QMessageBox*>(pDialog)) {
        pBox->button(QMessageBox::Ok)->click();
        return;
    }
    auto* pSheet = dynamic_cast<CPropertySheet*>(theApp.m_pMainWnd);
    if (!pSheet) {
        pDialog->reject();
        return;
    }
    for (int i = 0; i < pSheet->GetPageCount(); ++i)
        pSheet->SetActivePage(i);
    static_cast<QAbstractButton*>(pSheet->GetDlgItem(IDOK)->GetSafeHwnd())->click();
    if (pSheet->GetSafeHwnd() && pSheet->GetSafeHwnd()->isVisible())
        pDialog->reject();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzzer";
    static char* argv[] = {name, nullptr};
    g_pApp = new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    const std::string marker = "\n=====scan=====\n";
    const size_t nSplit = input.find(marker);
    const std::string config = input.substr(0, nSplit);
    const std::string scan = nSplit == std::string::npos ? std::string() : input.substr(nSplit + marker.size());

    QTemporaryDir drive;
    QDir(drive.path()).mkpath("System/Configuration");
    const std::string folder = drive.path().toStdString() + "/System/Configuration/";
    WriteFile(folder + "Configuration.xml", config);
    if (nSplit != std::string::npos)
        WriteFile(folder + "scan.xml", scan);

    CModalLoop::SetObserver(Drive);
    theApp.SetDriveOverride(CString(drive.path().toStdString()));
    theApp.InitInstance();
    // What was saved must load again.
    LoadConfigDocument();
    CModalLoop::SetObserver(nullptr);
    theConfigDoc.Clear();
    theScanDoc.Clear();
    theConfigElement = nullptr;
    theScanRoot = nullptr;
    return 0;
}
