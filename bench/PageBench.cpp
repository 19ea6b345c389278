// SPDX-License-Identifier: GPL-3.0-or-later
// Opening and confirming the list pages on a large frame file: 10,000 contacts, 10,000 approved and
// 10,000 denied senders and 10,000 feeds. Prints the time to open each page (its lists filled and
// sorted), to confirm it (its section rebuilt) and to save the whole file once, as one OK does.

#include "documents/ConfigDocument.h"
#include "pages/PropPageAddressBook.h"
#include "pages/PropPageEmail.h"
#include "pages/PropPageInternetSharing.h"
#include "pages/PropPagePCSharing.h"
#include "platform/ModalLoop.h"
#include "platform/PropertySheet.h"
#include "res/DialogTemplates.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

double Ms(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

std::string LargeConfiguration(int n)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n<RootInfo "
                      "version=\"100\">\n<Configuration>\n";
    xml += "<EmailAddressBook><AddressBook><NumEmailDetails>" + std::to_string(n) + "</NumEmailDetails>\n";
    for (int i = 0; i < n; ++i)
        xml += "<EmailDetails><ABEmailAddress>person" + std::to_string(i)
            + "@example.org</ABEmailAddress><ABFname>First" + std::to_string(i * 7919 % n) + "</ABFname><ABLname>Last"
            + std::to_string(i) + "</ABLname></EmailDetails>\n";
    xml += "</AddressBook><DEmailAddresses><NumDEmailAddress>" + std::to_string(n) + "</NumDEmailAddress>\n";
    for (int i = 0; i < n; ++i)
        xml += "<DEmailAddress>spam" + std::to_string(i * 104729 % n) + "@example.com</DEmailAddress>\n";
    xml += "</DEmailAddresses><AEmailAddresses><NumAEmailAddress>" + std::to_string(n) + "</NumAEmailAddress>\n";
    for (int i = 0; i < n; ++i)
        xml += "<AEmailAddress>friend" + std::to_string(i * 7907 % n) + "@example.net</AEmailAddress>\n";
    xml += "</AEmailAddresses></EmailAddressBook>\n<RSSandFrameChannel><RSS><NumURL>" + std::to_string(n)
        + "</NumURL>\n";
    for (int i = 0; i < n; ++i)
        xml += "<RssDetails><Description>Feed " + std::to_string(i * 6007 % n)
            + "</Description><URL>https://feeds.example.org/" + std::to_string(i) + ".rss</URL></RssDetails>\n";
    xml += "</RSS><FrameChannel><FCUsername>family</FCUsername><FCPassword>72634D1FBC410B7B</FCPassword></FrameChannel>"
           "</RSSandFrameChannel>\n</Configuration>\n</RootInfo>\n";
    return xml;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // "PageBench --write-drive DIR" only writes the heavy file to DIR, for the start-up benchmark.
    if (argc == 3 && std::string(argv[1]) == "--write-drive") {
        QDir(argv[2]).mkpath("System/Configuration");
        std::ofstream(std::string(argv[2]) + "/System/Configuration/Configuration.xml") << LargeConfiguration(10000);
        return 0;
    }
    QApplication app(argc, argv);
    UsePageTemplates();

    QTemporaryDir drive;
    QDir(drive.path()).mkpath("System/Configuration");
    const std::string xml = LargeConfiguration(10000);
    std::ofstream(drive.path().toStdString() + "/System/Configuration/Configuration.xml") << xml;
    SetConfigPaths(CString(drive.path().toStdString()));

    auto start = std::chrono::steady_clock::now();
    LoadConfigDocument();
    std::printf("file of %zu bytes loaded in %.0f ms\n", xml.size(), Ms(start));

    CPropPageEmail email;
    CPropPageAddressBook addressBook;
    CPropPageInternetSharing internetSharing;
    CPropPageAddressBook* pBook = &addressBook;
    CPropertySheet sheet("DPF Settings");
    sheet.AddPage(&email);
    sheet.AddPage(&addressBook);
    sheet.AddPage(&internetSharing);
    CModalLoop::SetObserver([&](QDialog* pDialog) {
        for (int i : {1, 2}) {
            start = std::chrono::steady_clock::now();
            sheet.SetActivePage(i);
            std::printf("open %s page: %.0f ms\n", i == 1 ? "Address Book" : "Internet Content Sharing", Ms(start));
        }
        start = std::chrono::steady_clock::now();
        pBook->OnApply();
        std::printf("confirm Address Book page (section rebuilt): %.0f ms\n", Ms(start));
        start = std::chrono::steady_clock::now();
        internetSharing.OnApply();
        std::printf("confirm Internet Content Sharing page (section rebuilt): %.0f ms\n", Ms(start));
        start = std::chrono::steady_clock::now();
        const BOOL bSaved = SaveConfigChanges(nullptr);
        std::printf("save the whole file (printed, written and synced): %.0f ms%s\n", Ms(start),
                    bSaved ? "" : " (FAILED)");
        pDialog->reject();
    });
    sheet.DoModal();
    CModalLoop::SetObserver(nullptr);
    return 0;
}
