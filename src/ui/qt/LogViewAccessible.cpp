#include "ui/qt/LogViewAccessible.h"

#include "ui/qt/Latin1Text.h"

void* LogViewAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State LogViewAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString LogViewAccessible::text(QAccessible::Text kind) const {
    return kind == QAccessible::Value ? FromLatin1Text(Log().Lines())
                                      : QAccessibleWidget::text(kind);
}

void LogViewAccessible::selection(int index, int* start, int* end) const {
    const bool selected = index == 0 && selectionCount() == 1;
    *start = selected ? static_cast<int>(std::min(Log().Anchor(), Log().Caret())) : 0;
    *end = selected ? static_cast<int>(std::max(Log().Anchor(), Log().Caret())) : 0;
}

void LogViewAccessible::setSelection(int index, int start, int end) {
    if (index == 0) {
        Log().Select(Offset(start), Offset(end));
    }
}

QString LogViewAccessible::text(int start, int end) const {
    const std::size_t from = Offset(start);
    return FromLatin1Text(
        std::string_view(Log().Lines()).substr(from, std::max(Offset(end), from) - from));
}

QRect LogViewAccessible::characterRect(int offset) const {
    const QRect cell = Log().CharacterRect(Offset(offset)).toAlignedRect();
    return {Log().mapToGlobal(cell.topLeft()), cell.size()};
}

int LogViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inView = Log().mapFromGlobal(point);
    return Log().TextArea().contains(inView) ? static_cast<int>(Log().OffsetAt(inView)) : -1;
}

void LogViewAccessible::scrollToSubstring(int start, int end) {
    Log().ShowOffset(Offset(end));
    Log().ShowOffset(Offset(start));
}

QString LogViewAccessible::attributes(int, int* start, int* end) const {
    // One run of plain text, without attributes.
    *start = 0;
    *end = characterCount();
    return {};
}
