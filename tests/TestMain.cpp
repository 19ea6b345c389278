// SPDX-License-Identifier: GPL-3.0-or-later
// Every test binary runs with a real Qt application on the offscreen platform: no display needed.

#include "NetworkManagerSandbox.h"
#include "TestSupport.h"
#include "platform/WinApp.h"
#include "res/DialogTemplates.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The network pages ask the system bus for this PC's saved Wi-Fi connections: never the host's.
    UseNoSystemBus();
    QApplication app(argc, argv);
    AfxInitQtApplication();
    // Tests make pages without the application's start-up, which hands the templates over.
    UsePageTemplates();
    // No test sees the machine's mounted volumes: a frame card plugged into it must neither change
    // what a test finds nor be written by one.
    UseTestMountTable();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
