#pragma once

#include "ui/qt/LogView.h"

#include <algorithm>

#include <QAccessibleWidget>

// What assistive technology reads of a log view: read-only text with its caret and selection,
// whether or not the log has the focus. The log announces its changes itself.
class LogViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LogViewAccessible(LogView* log) : QAccessibleWidget(log, QAccessible::EditableText) {}

    // Qt's accessibility asks this of every object it meets.
    static QAccessibleInterface* For(const QString&, QObject* object) {
        auto* log = dynamic_cast<LogView*>(object);
        return log != nullptr ? new LogViewAccessible(log) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;

    void selection(int index, int* start, int* end) const override;
    int selectionCount() const override { return Log().Anchor() != Log().Caret() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { Log().Select(Log().Caret(), Log().Caret()); }
    void setSelection(int index, int start, int end) override;
    int cursorPosition() const override { return static_cast<int>(Log().Caret()); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    QString text(int start, int end) const override;
    int characterCount() const override { return static_cast<int>(Log().Lines().size()); }
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int start, int end) override;
    QString attributes(int offset, int* start, int* end) const override;

private:
    LogView& Log() const { return static_cast<LogView&>(*widget()); }
    std::size_t Offset(int offset) const {
        return static_cast<std::size_t>(std::clamp(offset, 0, characterCount()));
    }
};
