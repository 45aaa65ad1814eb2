#include "support/ModalTestDriver.h"

#include <chrono>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

constexpr std::chrono::milliseconds kPollInterval{5};
constexpr std::chrono::seconds kHangGuard{60};

}  // namespace

void OnNextModalWindow(std::function<void(QWidget&)> step) {
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* poll = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, [poll, before, started, step = std::move(step)] {
        QWidget* window = QApplication::activeModalWidget();
        const bool isNext = window != nullptr && window != before && window->isVisible() &&
                            qobject_cast<QMessageBox*>(window) == nullptr;
        if (isNext) {
            poll->stop();
            poll->deleteLater();
            step(*window);
        } else if (started->hasExpired(std::chrono::milliseconds(kHangGuard).count())) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no window ran modally";
        }
    });
    poll->start(kPollInterval);
}

bool WaitUntil(const std::function<bool()>& condition) {
    QElapsedTimer started;
    started.start();
    while (!condition()) {
        if (started.hasExpired(std::chrono::milliseconds(kHangGuard).count())) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(kPollInterval, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

class ModalHangGuard::Watch : public QTimer {
public:
    Watch() {
        setSingleShot(true);
        connect(this, &QTimer::timeout, this, [this] {
            ADD_FAILURE() << "a modal window did not close; closing it";
            // Keeps closing, as closing one window may uncover another.
            connect(&m_closer, &QTimer::timeout, [] {
                if (QWidget* window = QApplication::activeModalWidget()) {
                    window->close();
                }
            });
            m_closer.start(kPollInterval);
        });
        start(kHangGuard);
    }

private:
    QTimer m_closer;
};

ModalHangGuard::ModalHangGuard() : m_watch(new Watch) {}

ModalHangGuard::~ModalHangGuard() {
    delete m_watch;
}
