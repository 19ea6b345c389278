// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for start-up time: the least a Qt program does to show a dialog. With --with-text
// the dialog also shows a line of text and an OK button, which is what makes Qt load and shape a
// font: a reference for how much of any settings window's start-up that alone takes. With
// --with-text --read-fonts-early it reads the font configuration on a second thread while Qt starts,
// as the editor does, which shows what a window with text can reach on the machine. The targets are
// measured against the empty dialog.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <thread>

int main(int argc, char* argv[])
{
    const bool bWithText = argc > 1 && std::strcmp(argv[1], "--with-text") == 0;
    const bool bReadFontsEarly = bWithText && argc > 2 && std::strcmp(argv[2], "--read-fonts-early") == 0;
    std::thread fontReader;
    if (bReadFontsEarly)
        fontReader = std::thread([] { FcInit(); });
    QApplication app(argc, argv);
    if (fontReader.joinable())
        fontReader.join();
    QDialog dialog;
    dialog.setWindowTitle("Minimal");
    if (bWithText) {
        auto* pLayout = new QVBoxLayout(&dialog);
        pLayout->addWidget(new QLabel("The frame's settings are on this card."));
        // A plain button, not a QDialogButtonBox: the box asks the style for the OK button's
        // standard icon, and the icon theme lookup that sets off took more than a quarter of this
        // dialog's instructions to the map here. That is the box's cost, not the text's, and the
        // editor's buttons have no icons.
        auto* pOK = new QPushButton("OK");
        QObject::connect(pOK, &QPushButton::clicked, &dialog, &QDialog::accept);
        pLayout->addWidget(pOK);
    }
    dialog.resize(400, 300);
    return dialog.exec();
}
