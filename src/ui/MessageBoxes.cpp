#include "ui/MessageBoxes.h"

#include "res/DialogIds.h"
#include "ui/MessageBoxObserver.h"

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

// A box waits in its own event loop, in which timers go on ticking; every other window of
// the program takes no input until it is closed.
int Run(QMessageBox& box, QWidget* owner) {
    // The text is shown as it stands, never read as markup.
    box.setTextFormat(Qt::PlainText);
    if (owner != nullptr && owner->windowHandle() != nullptr) {
        box.winId();  // makes the window, which the owner is then set on
        box.windowHandle()->setTransientParent(owner->windowHandle());
    }
    if (MessageBoxObserver* observer = MessageBoxObserver::Installed()) {
        observer->Run(box);
    } else {
        box.exec();
    }
    return kIdOk;
}

}  // namespace

QString ApplicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

int ShowAppMessageBox(std::string_view text) {
    QMessageBox box(QMessageBox::Warning, ApplicationName(), FromUtf8(text), QMessageBox::Ok);
    QWidget* owner = QApplication::activeModalWidget();
    return Run(box, owner != nullptr ? owner : QApplication::activeWindow());
}

int ShowErrorBox(std::string_view text) {
    QMessageBox box(QMessageBox::Information, QString::fromLatin1(kErrorCaption), FromUtf8(text),
                    QMessageBox::Ok);
    return Run(box, nullptr);
}
