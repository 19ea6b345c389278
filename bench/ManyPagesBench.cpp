// Start-up with very many pages: a scan of 10,000 networks and, separately, 10,000 stored profiles.
// Prints the time from the start of the application's start-up until its window is up; it must grow
// with the number of pages, not with its square.

#include "app/KestrovaConfigToolApp.h"
#include "platform/ModalLoop.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string Networks(int n, bool bStored)
{
    std::string xml;
    for (int i = 0; i < n; ++i)
        xml += "<AccessPoint>" + std::string(bStored ? "<Default>false</Default>" : "") + "<Link><SSID>Net " +
               std::to_string(i) + "</SSID><OperationMode>Managed</OperationMode><Encrypted>false</Encrypted></Link>" +
               (bStored ? "<IPConfiguration><DHCP>true</DHCP></IPConfiguration>" : "") + "</AccessPoint>\n";
    return xml;
}

double TimeToWindow(int nScanned, int nStored)
{
    QTemporaryDir drive;
    QDir(drive.path()).mkpath("System/Configuration");
    const std::string folder = drive.path().toStdString() + "/System/Configuration/";
    std::ofstream(folder + "Configuration.xml")
        << "<?xml version=\"1.0\" ?>\n<RootInfo><Configuration><NetworkConnectionInfo><NumAccessPoint>" << nStored
        << "</NumAccessPoint>\n" << Networks(nStored, true) << "</NetworkConnectionInfo></Configuration></RootInfo>\n";
    std::ofstream(folder + "scan.xml") << "<Scan><NetworkConnectionInfo>\n" << Networks(nScanned, false)
                                       << "</NetworkConnectionInfo></Scan>\n";
    const auto start = std::chrono::steady_clock::now();
    double dMs = 0;
    CModalLoop::SetObserver([&](QDialog* pDialog) {
        dMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        pDialog->reject();
    });
    theApp.SetDriveOverride(CString(drive.path().toStdString()));
    theApp.InitInstance();
    CModalLoop::SetObserver(nullptr);
    return dMs;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int n : {2500, 5000, 10000}) {
        std::printf("%d scanned networks: window in %.0f ms\n", n, TimeToWindow(n, 0));
        std::fflush(stdout);
    }
    std::printf("10000 stored profiles: window in %.0f ms\n", TimeToWindow(0, 10000));
    return 0;
}
