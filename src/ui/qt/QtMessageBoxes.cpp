#include "res/DialogIds.h"
#include "ui/MessageBoxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>

namespace {

constexpr char kErrorCaption[] = "Error";

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString QtApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

// A box waits in its own event loop, in which timers go on ticking; every other window of
// the program takes no input until it is closed.
int Run(QMessageBox& box, QWidget* owner) {
    // The text is shown as it stands, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (owner != nullptr && owner->windowHandle() != nullptr) {
        box.winId();  // makes the window, which the owner is then set on
        box.windowHandle()->setTransientParent(owner->windowHandle());
    }
    box.exec();
    return kIdOk;
}

}  // namespace

std::string ApplicationName() {
    return QtApplicationName().toStdString();
}

int ShowAppMessageBox(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, QtApplicationName(), FromUtf8(text), QMessageBox::Ok);
    QWidget* owner = QApplication::activeModalWidget();
    return Run(box, owner != nullptr ? owner : QApplication::activeWindow());
}

int ShowAppInformationBox(std::string_view text) {
    QMessageBox box(QMessageBox::Information, QtApplicationName(), FromUtf8(text), QMessageBox::Ok);
    return Run(box, nullptr);
}

int ShowErrorBox(std::string_view text) {
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(kErrorCaption), FromUtf8(text),
                    QMessageBox::Ok);
    return Run(box, nullptr);
}
