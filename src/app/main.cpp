#include "app/CTerminalApp.h"
#include "app/CommandLine.h"

#include <iostream>

#include <QApplication>
#include <QGuiApplication>

// The one application object.
CTerminalApp theApp;

int main(int argc, char* argv[]) {
    if (const std::optional<int> status = HandleCommandLine(argc, argv, std::cout, std::cerr)) {
        return *status;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quenlark"));
    theApp.InitInstance();
    return 0;
}
