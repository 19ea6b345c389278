// The yardstick for start-up time: the least a Qt program does to show a dialog. With --with-text
// the dialog also shows a line of text and an OK button, which is what makes Qt load and shape a
// font: a reference for how much of any settings window's start-up that alone takes. The targets
// are measured against the empty dialog.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include <cstring>

int main(int argc, char* argv[])
{
    const bool bWithText = argc > 1 && std::strcmp(argv[1], "--with-text") == 0;
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("Minimal");
    if (bWithText) {
        auto* pLayout = new QVBoxLayout(&dialog);
        pLayout->addWidget(new QLabel("The frame's settings are on this card."));
        auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok);
        QObject::connect(pButtons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        pLayout->addWidget(pButtons);
    }
    dialog.resize(400, 300);
    return dialog.exec();
}
