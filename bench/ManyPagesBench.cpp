// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up on very large cards: a scan of 10,000 networks, one of 40,000 networks all of one name,
// 10,000 stored profiles, and a file whose element carries 100,000 attributes. Prints the time from the start of the application's start-up
// until its window is up; it must grow with the size of the card, not with its square.

#include "app/KestrovaConfigToolApp.h"
#include "platform/ModalLoop.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string Networks(int n, bool bStored, bool bAlike = false)
{
    std::string xml;
    for (int i = 0; i < n; ++i)
        xml += "<AccessPoint>" + std::string(bStored ? "<Default>false</Default>" : "") + "<Link><SSID>"
            + (bAlike ? std::string("x") : "Net " + std::to_string(i))
            + "</SSID><OperationMode>Managed</OperationMode><Encrypted>false</Encrypted></Link>"
            + (bStored ? "<IPConfiguration><DHCP>true</DHCP></IPConfiguration>" : "") + "</AccessPoint>\n";
    return xml;
}

std::string Attributes(int n)
{
    std::string xml;
    for (int i = 0; i < n; ++i)
        xml += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return xml;
}

double TimeToWindow(int nScanned, int nStored, int nAttributes = 0, bool bAlike = false)
{
    QTemporaryDir drive;
    QDir(drive.path()).mkpath("System/Configuration");
    const std::string folder = drive.path().toStdString() + "/System/Configuration/";
    std::ofstream(folder + "Configuration.xml")
        << "<?xml version=\"1.0\" ?>\n<RootInfo><Configuration" << Attributes(nAttributes)
        << "><NetworkConnectionInfo><NumAccessPoint>" << nStored << "</NumAccessPoint>\n"
        << Networks(nStored, true) << "</NetworkConnectionInfo></Configuration></RootInfo>\n";
    std::ofstream(folder + "scan.xml") << "<Scan><NetworkConnectionInfo>\n"
                                       << Networks(nScanned, false, bAlike) << "</NetworkConnectionInfo></Scan>\n";
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
    double dSlowest = 0;
    auto report = [&](const char* pszWhat, int n, double dMs) {
        std::printf("%d %s: window in %.0f ms\n", n, pszWhat, dMs);
        std::fflush(stdout);
        dSlowest = std::max(dSlowest, dMs);
    };
    for (int n : {2500, 5000, 10000})
        report("scanned networks", n, TimeToWindow(n, 0));
    for (int n : {10000, 20000, 40000})
        report("scanned networks named alike", n, TimeToWindow(n, 0, 0, true));
    report("stored profiles", 10000, TimeToWindow(0, 10000));
    for (int n : {25000, 50000, 100000})
        report("attributes on one element", n, TimeToWindow(0, 0, n));
    std::printf("target: every window in under 2 s: %s\n", dSlowest < 2000 ? "met" : "NOT met");
    return 0;
}
