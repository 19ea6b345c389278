// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: bytes become a frame drive's Configuration.xml and scan.xml (split at the first
// "\n=====scan=====\n"); start-up runs on them, every page is shown, the sheet is confirmed (or
// cancelled when a page refuses its input) and the saved file is loaded again. Built with libFuzzer
// by scripts/fuzz.sh, and replayed over the corpus by the test suite.

#include "app/KestrovaConfigToolApp.h"
#include "documents/ConfigDocument.h"
#include "platform/ModalLoop.h"
#include "platform/PropertySheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>

namespace {

// OK to every message; every page of the sheet shown, then OK, and Cancel when a page refuses.
void Drive(QDialog* pDialog)
{
    auto* pSheet = dynamic_cast<CPropertySheet*>(theApp.m_pMainWnd);
    if (auto* pBox = qobject_cast<QMessageBox*>(pDialog)) {
        pBox->button(QMessageBox::Ok)->click();
    } else if (pSheet) {
        for (int i = 0; i < pSheet->GetPageCount(); ++i)
            pSheet->SetActivePage(i);
        static_cast<QAbstractButton*>(pSheet->GetDlgItem(IDOK)->GetSafeHwnd())->click();
        if (pSheet->GetSafeHwnd() && pSheet->GetSafeHwnd()->isVisible())
            pDialog->reject();
    } else {
        pDialog->reject();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzzer";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // for the whole run, as libFuzzer never returns
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string input(reinterpret_cast<const char*>(pData), nSize);
    const std::string marker = "\n=====scan=====\n";
    const size_t nSplit = input.find(marker);
    QTemporaryDir drive;
    QDir(drive.path()).mkpath("System/Configuration");
    const std::string folder = drive.path().toStdString() + "/System/Configuration/";
    std::ofstream(folder + "Configuration.xml", std::ios::binary) << input.substr(0, nSplit);
    if (nSplit != std::string::npos)
        std::ofstream(folder + "scan.xml", std::ios::binary) << input.substr(nSplit + marker.size());

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
