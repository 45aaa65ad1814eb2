#include "ui/MessageBoxObserver.h"

#include <QAbstractButton>
#include <QTimer>
#include <QWindow>

namespace {

MessageBoxObserver* g_installed = nullptr;

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
    : m_holdTime(holdTime), m_previous(g_installed) {
    g_installed = this;
}

MessageBoxObserver::~MessageBoxObserver() {
    g_installed = m_previous;
}

void MessageBoxObserver::CloseWhen(std::function<bool()> condition) {
    m_closeCondition = std::move(condition);
}

MessageBoxObserver* MessageBoxObserver::Installed() {
    return g_installed;
}

void MessageBoxObserver::Run(QMessageBox& box) {
    const QWindow* window = box.windowHandle();
    m_shown.push_back({box.windowTitle().toStdString(), box.text().toStdString(), box.icon(),
                       window != nullptr && window->transientParent() != nullptr});

    QTimer::singleShot(m_holdTime, &box, [&box] { CloseWithOk(box); });
    QTimer conditionCheck;
    if (m_closeCondition) {
        QObject::connect(&conditionCheck, &QTimer::timeout, &box, [this, &box] {
            if (m_closeCondition()) {
                CloseWithOk(box);
            }
        });
        conditionCheck.start(kConditionCheckInterval);
    }
    box.exec();
}
