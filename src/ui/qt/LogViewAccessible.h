#pragma once

#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogView.h"

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
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? FromLatin1Text(Log().Lines())
                                          : QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override;
    int selectionCount() const override {
        return Log().Selection().first != Log().Selection().second ? 1 : 0;
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { Log().Select(Log().Caret(), Log().Caret()); }
    void setSelection(int index, int start, int end) override {
        if (index == 0) {
            Log().Select(Offset(start), Offset(end));
        }
    }
    int cursorPosition() const override { return static_cast<int>(Log().Caret()); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    QString text(int start, int end) const override {
        const std::size_t from = Offset(start);
        return FromLatin1Text(
            std::string_view(Log().Lines()).substr(from, std::max(Offset(end), from) - from));
    }
    int characterCount() const override { return static_cast<int>(Log().Lines().size()); }
    QRect characterRect(int offset) const override {
        const QRect cell = Log().CharacterRect(Offset(offset)).toAlignedRect();
        return {Log().mapToGlobal(cell.topLeft()), cell.size()};
    }
    int offsetAtPoint(const QPoint& point) const override {
        const QPoint inView = Log().mapFromGlobal(point);
        return Log().TextArea().contains(inView) ? static_cast<int>(Log().OffsetAt(inView)) : -1;
    }
    void scrollToSubstring(int start, int end) override {
        Log().ShowOffset(Offset(end));
        Log().ShowOffset(Offset(start));
    }
    // One run of plain text, without attributes.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    LogView& Log() const { return static_cast<LogView&>(*widget()); }
    std::size_t Offset(int offset) const {
        return static_cast<std::size_t>(std::clamp(offset, 0, characterCount()));
    }
};
