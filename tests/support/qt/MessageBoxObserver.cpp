#include "support/MessageBoxObserver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

namespace {

MessageBoxObserver* g_current = nullptr;

constexpr std::chrono::milliseconds kConditionCheckInterval{5};

void CloseWithOk(QMessageBox& box) {
    if (QAbstractButton* ok = box.button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box.done(QMessageBox::Ok);
    }
}

MessageIcon IconOf(const QMessageBox& box) {
    switch (box.icon()) {
        case QMessageBox::Information:
            return MessageIcon::kInformation;
        case QMessageBox::Warning:
            return MessageIcon::kWarning;
        default:
            return MessageIcon::kOther;
    }
}

}  // namespace

// Sees every event of the application, and with it each box as it shows.
class MessageBoxObserver::Watch : public QObject {
public:
    explicit Watch(MessageBoxObserver& observer) : m_observer(observer) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && g_current == &m_observer) {
            if (auto* box = qobject_cast<QMessageBox*>(watched)) {
                Observe(*box);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Observe(QMessageBox& box) {
        const QWindow* window = box.windowHandle();
        m_observer.m_shown.push_back({box.windowTitle().toStdString(), box.text().toStdString(),
                                      IconOf(box),
                                      window != nullptr && window->transientParent() != nullptr});

        // Both go with the box, so nothing fires once it has gone.
        QTimer::singleShot(m_observer.m_holdTime, &box, [&box] { CloseWithOk(box); });
        if (m_observer.m_closeCondition) {
            auto* conditionCheck = new QTimer(&box);
            QObject::connect(conditionCheck, &QTimer::timeout, &box, [this, &box, conditionCheck] {
                if (m_observer.m_closeCondition()) {
                    conditionCheck->stop();
                    CloseWithOk(box);
                }
            });
            conditionCheck->start(kConditionCheckInterval);
        }
    }

    MessageBoxObserver& m_observer;
};

MessageBoxObserver::MessageBoxObserver(std::chrono::milliseconds holdTime)
    : m_holdTime(holdTime), m_previous(g_current), m_watch(std::make_unique<Watch>(*this)) {
    g_current = this;
}

MessageBoxObserver::~MessageBoxObserver() {
    g_current = m_previous;
}

void MessageBoxObserver::CloseWhen(std::function<bool()> condition) {
    m_closeCondition = std::move(condition);
}
