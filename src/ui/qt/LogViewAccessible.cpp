#include "ui/qt/LogViewAccessible.h"

#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogView.h"

#include <algorithm>

namespace {

QAccessibleInterface* MakeAccessible(const QString&, QObject* object) {
    auto* log = dynamic_cast<LogView*>(object);
    return log != nullptr ? new LogViewAccessible(log) : nullptr;
}

}  // namespace

LogViewAccessible::LogViewAccessible(LogView* log)
    : QAccessibleWidget(log, QAccessible::EditableText) {}

void LogViewAccessible::Register() {
    static const bool registered = [] {
        QAccessible::installFactory(MakeAccessible);
        return true;
    }();
    (void)registered;
}

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
    if (kind == QAccessible::Value) {
        return FromLatin1Text(Log().Lines());
    }
    return QAccessibleWidget::text(kind);
}

void LogViewAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
    if (selectionIndex == 0 && selectionCount() == 1) {
        *startOffset = static_cast<int>(std::min(Log().Anchor(), Log().Caret()));
        *endOffset = static_cast<int>(std::max(Log().Anchor(), Log().Caret()));
    }
}

int LogViewAccessible::selectionCount() const {
    return Log().Anchor() != Log().Caret() ? 1 : 0;
}

void LogViewAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void LogViewAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        Log().Select(Log().Caret(), Log().Caret());
    }
}

void LogViewAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0 && startOffset >= 0 && endOffset >= 0) {
        Log().Select(static_cast<std::size_t>(startOffset), static_cast<std::size_t>(endOffset));
    }
}

int LogViewAccessible::cursorPosition() const {
    return static_cast<int>(Log().Caret());
}

void LogViewAccessible::setCursorPosition(int position) {
    if (position >= 0) {
        Log().Select(static_cast<std::size_t>(position), static_cast<std::size_t>(position));
    }
}

QString LogViewAccessible::text(int startOffset, int endOffset) const {
    const std::string& lines = Log().Lines();
    const auto from = static_cast<std::size_t>(std::clamp(startOffset, 0, characterCount()));
    const auto to = static_cast<std::size_t>(std::clamp(endOffset, 0, characterCount()));
    return to > from ? FromLatin1Text(std::string_view(lines).substr(from, to - from)) : QString();
}

int LogViewAccessible::characterCount() const {
    return static_cast<int>(Log().Lines().size());
}

QRect LogViewAccessible::characterRect(int offset) const {
    if (offset < 0 || offset > characterCount()) {
        return {};
    }
    const QRect cell = Log().CharacterRect(static_cast<std::size_t>(offset)).toAlignedRect();
    return QRect(Log().viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int LogViewAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint inView = Log().viewport()->mapFromGlobal(point);
    if (!Log().viewport()->rect().contains(inView)) {
        return -1;
    }
    return static_cast<int>(Log().OffsetAt(inView));
}

void LogViewAccessible::scrollToSubstring(int startIndex, int endIndex) {
    if (startIndex >= 0 && endIndex >= startIndex) {
        Log().ShowOffset(static_cast<std::size_t>(endIndex));
        Log().ShowOffset(static_cast<std::size_t>(startIndex));
    }
}

QString LogViewAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // One run of plain text, no attributes.
    *startOffset = 0;
    *endOffset = offset >= 0 ? characterCount() : 0;
    return {};
}

LogView& LogViewAccessible::Log() const {
    return static_cast<LogView&>(*widget());
}
