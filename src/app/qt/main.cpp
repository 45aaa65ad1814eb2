#include "app/ApplicationMain.h"

#include <QApplication>
#include <QGuiApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("quenlark"));
    return RunApplication();
}
