#include "support/MessageBoxObserver.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
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

}  // namespace

MessageBoxObserver::MessageBoxObserver(std::chrono::milliseconds holdTime)
    : m_holdTime(holdTime), m_previous(g_current) {
    g_current = this;
    QCoreApplication::instance()->installEventFilter(this);
}

MessageBoxObserver::~MessageBoxObserver() {
    g_current = m_previous;
}

void MessageBoxObserver::CloseWhen(std::function<bool()> condition) {
    m_closeCondition = std::move(condition);
}

bool MessageBoxObserver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && g_current == this) {
        if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            Observe(*box);
        }
    }
    return QObject::eventFilter(watched, event);
}

void MessageBoxObserver::Observe(QMessageBox& box) {
    const QWindow* window = box.windowHandle();
    m_shown.push_back({box.windowTitle().toStdString(), box.text().toStdString(), box.icon(),
                       window != nullptr && window->transientParent() != nullptr});

    // Both go with the box, so nothing fires once it has gone.
    QTimer::singleShot(m_holdTime, &box, [&box] { CloseWithOk(box); });
    if (m_closeCondition) {
        auto* conditionCheck = new QTimer(&box);
        QObject::connect(conditionCheck, &QTimer::timeout, &box, [this, &box, conditionCheck] {
            if (m_closeCondition()) {
                conditionCheck->stop();
                CloseWithOk(box);
            }
        });
        conditionCheck->start(kConditionCheckInterval);
    }
}
