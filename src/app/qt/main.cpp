#include "app/ApplicationMain.h"
#include "app/CommandLine.h"

#include <iostream>

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char* argv[]) {
    RunOptions options;
    if (const std::optional<int> status =
            HandleCommandLine(argc, argv, std::cout, std::cerr, options)) {
        return *status;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quenlark"));
    return RunApplication(options);
}
