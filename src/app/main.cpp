#include "app/CTerminalApp.h"

#include <QApplication>
#include <QGuiApplication>

// The one application object.
CTerminalApp theApp;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quenlark"));
    theApp.InitInstance();
    return 0;
}
