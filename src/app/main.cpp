#include "plotter/frmMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarnel"));
    plotter::frmMain::instance().Show();
    return QApplication::exec();
}
