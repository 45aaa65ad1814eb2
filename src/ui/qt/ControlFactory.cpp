#include "ui/qt/ControlFactory.h"

#include "ui/qt/DialogFont.h"
#include "ui/qt/Latin1Text.h"
#include "ui/qt/LogView.h"
#include "ui/qt/QtIcon.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

// The size a static icon control takes, whatever its rectangle says.
constexpr int kIconSize = 32;

// Refuses typed characters other than digits; pasted text and text set by the program pass.
class DigitsOnlyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            const bool typesCharacters = !text.isEmpty() && text.front() >= QChar(' ');
            if (typesCharacters && !std::all_of(text.begin(), text.end(), [](QChar c) {
                    return c >= QChar('0') && c <= QChar('9');
                })) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Keeps the Enter key in a multi-line edit, so that it does not press the default button.
class KeepEnterFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                event->accept();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

Qt::FocusPolicy FocusPolicyFor(const ControlTemplate& control) {
    return (control.style & kControlTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus;
}

// An ampersand marks an access key, which a static text has no use for; "&&" is one "&".
QString WithoutAccessKeyMarks(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar('&') && i + 1 < text.size()) {
            ++i;
        }
        plain.append(text[i]);
    }
    return plain;
}

QWidget* CreateButton(const ControlTemplate& control, QWidget& dialog) {
    auto* button = new QPushButton(FromLatin1Text(control.text), &dialog);
    button->setAutoDefault(true);
    button->setDefault(control.kind == ControlKind::DefPushButton);
    return button;
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget& dialog, const QFont& dialogFont) {
    const unsigned style = control.style;
    if ((style & kEditMultiline) != 0) {
        // The one multi-line edit is the log, which is read-only.
        auto* log = new LogView(&dialog);
        log->setFont(FixedWidthFont(dialogFont));
        log->VerticalScrollBar()->setVisible((style & kControlVScroll) != 0);
        log->HorizontalScrollBar()->setVisible((style & kControlHScroll) != 0);
        if ((style & kControlBorder) == 0) {
            log->setFrameShape(QFrame::NoFrame);
        }
        if ((style & kEditWantReturn) != 0) {
            log->installEventFilter(new KeepEnterFilter(log));
        }
        return log;
    }
    auto* edit = new QLineEdit(&dialog);
    // Qt's default limit of 32767 characters is not the program's.
    edit->setMaxLength(kEditTextLimit);
    edit->setFrame((style & kControlBorder) != 0);
    edit->setReadOnly((style & kEditReadOnly) != 0);
    if ((style & kEditNumber) != 0) {
        edit->installEventFilter(new DigitsOnlyFilter(edit));
    }
    return edit;
}

QWidget* CreateComboBox(const ControlTemplate& control, QWidget& dialog, PixelRect& rect) {
    auto* combo = new QComboBox(&dialog);
    if ((control.style & kComboDropDown) != 0) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
    }
    // The rectangle's height is the selection field and its open list together.
    const int fieldHeight = std::min(combo->sizeHint().height(), rect.height);
    const int itemHeight = std::max(1, QFontMetrics(combo->font()).height());
    combo->setMaxVisibleItems(std::max(1, (rect.height - fieldHeight) / itemHeight));
    rect.height = fieldHeight;
    return combo;
}

QWidget* CreateStatic(const ControlTemplate& control, QWidget& dialog, PixelRect& rect) {
    auto* label = new QLabel(&dialog);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (control.kind == ControlKind::Icon) {
        label->setPixmap(ToQIcon(WindowIcon::Load(control.iconId)).pixmap(kIconSize, kIconSize));
        rect.width = kIconSize;
        rect.height = kIconSize;
        return label;
    }
    const QString text = FromLatin1Text(control.text);
    label->setText((control.style & kStaticNoPrefix) != 0 ? text : WithoutAccessKeyMarks(text));
    label->setWordWrap(true);
    return label;
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget& dialog, const QFont& dialogFont,
                       DialogBaseUnits base) {
    PixelRect rect = DialogRectToPixels(control.rect, base);
    QWidget* widget = nullptr;
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            widget = CreateButton(control, dialog);
            break;
        case ControlKind::Edit:
            widget = CreateEdit(control, dialog, dialogFont);
            break;
        case ControlKind::ComboBox:
            widget = CreateComboBox(control, dialog, rect);
            break;
        case ControlKind::Static:
        case ControlKind::Icon:
            widget = CreateStatic(control, dialog, rect);
            break;
    }
    widget->setFocusPolicy(control.kind == ControlKind::Static || control.kind == ControlKind::Icon
                               ? Qt::NoFocus
                               : FocusPolicyFor(control));
    widget->setGeometry(rect.x, rect.y, rect.width, rect.height);
    return widget;
}
