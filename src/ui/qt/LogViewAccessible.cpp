#include "ui/qt/LogViewAccessible.h"

void* LogViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                              : QAccessibleWidget::interface_cast(type);
}

QAccessible::State LogViewAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void LogViewAccessible::selection(int index, int* start, int* end) const {
    const auto [from, to] = index == 0 ? Log().Selection() : std::pair<std::size_t, std::size_t>();
    *start = static_cast<int>(from);
    *end = static_cast<int>(to);
}
