// The yardstick for start-up time: the least a Qt program does to show a dialog.

#include <QApplication>
#include <QDialog>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("Minimal");
    dialog.resize(400, 300);
    return dialog.exec();
}
