#include "support/WindowTestDriver.h"

#include "ui/TemplateDialog.h"
#include "ui/qt/QtControls.h"

#include <chrono>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

constexpr std::chrono::milliseconds kPollInterval{5};
constexpr std::chrono::seconds kHangGuard{60};

// Where typed keys go: a combo box's field rather than the box.
QWidget* KeyTarget(const TemplateDialog& dialog, int id) {
    QWidget* control = QtControl(dialog, id);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr && combo->lineEdit()) {
        return combo->lineEdit();
    }
    return control;
}

QAction* SystemMenuItem(TemplateDialog& dialog, unsigned nID) {
    for (QAction* item : QtSystemMenuOf(dialog).actions()) {
        if (QtSystemCommandOf(*item) == nID) {
            return item;
        }
    }
    return nullptr;
}

}  // namespace

class EventLoopPoll::Timer : public QTimer {};

EventLoopPoll::EventLoopPoll(std::function<void()> check) : m_timer(std::make_unique<Timer>()) {
    QObject::connect(m_timer.get(), &QTimer::timeout, std::move(check));
    m_timer->start(kPollInterval);
}

EventLoopPoll::~EventLoopPoll() = default;

void OnNextModalWindow(std::function<void()> step) {
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    auto* poll = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, [poll, before, started, step = std::move(step)] {
        QWidget* window = QApplication::activeModalWidget();
        const bool isNext = window != nullptr && window != before && window->isVisible() &&
                            DialogOfQtWindow(window) != nullptr;
        if (isNext) {
            poll->stop();
            poll->deleteLater();
            step();
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

ModalHangGuard::ModalHangGuard() : m_watch(std::make_unique<Watch>()) {}

ModalHangGuard::~ModalHangGuard() = default;

void Click(TemplateDialog& dialog, int id) {
    QTest::mouseClick(QtControl(dialog, id), Qt::LeftButton);
}

void Type(TemplateDialog& dialog, int editId, std::string_view text) {
    auto* edit = static_cast<QLineEdit*>(QtControl(dialog, editId));
    edit->setFocus();
    edit->selectAll();
    if (text.empty()) {
        QTest::keyClick(edit, Qt::Key_Delete);
    } else {
        QTest::keyClicks(edit,
                         QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
}

void PressKey(TemplateDialog& dialog, int id, Key key) {
    QWidget* target = KeyTarget(dialog, id);
    target->setFocus();
    QTest::keyClick(target, key == Key::kEnter ? Qt::Key_Return : Qt::Key_Escape);
}

void Choose(TemplateDialog& dialog, int comboId, int index) {
    // Getting to the neighbour notifies nobody, as the open list's highlight does not.
    QWidget* combo = QtControl(dialog, comboId);
    combo->setFocus();
    dialog.ComboSetCurSel(comboId, index == 0 ? 1 : index - 1);
    QTest::keyClick(combo, index == 0 ? Qt::Key_Up : Qt::Key_Down);
}

void TypeToWindow(TemplateDialog& dialog, char c) {
    if (QWidget* focus = QtWindow(dialog).focusWidget()) {
        focus->clearFocus();
    }
    QTest::keyClick(&QtWindow(dialog), c);
}

bool ChooseEditMenuItem(TemplateDialog& dialog, int editId, std::string_view text) {
    QWidget* edit = QtControl(dialog, editId);
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* item : menu->actions()) {
            if (item->text().toStdString() == text && item->isEnabled()) {
                menu->setActiveAction(item);
                chosen = true;
            }
        }
        QTest::keyClick(menu, chosen ? Qt::Key_Return : Qt::Key_Escape);
    });
    QContextMenuEvent open(QContextMenuEvent::Keyboard, {}, edit->mapToGlobal(QPoint()));
    QApplication::sendEvent(edit, &open);
    return chosen;
}

void ClickCloseBox(TemplateDialog& dialog) {
    QtWindow(dialog).windowHandle()->close();
}

void ChooseSystemMenuItem(TemplateDialog& dialog, unsigned nID) {
    SystemMenuItem(dialog, nID)->trigger();
    // The command is queued, to run once the menu has gone.
    QCoreApplication::sendPostedEvents();
}

void AnswerNextFileDialog(std::optional<std::string> name) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name = std::move(name)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            poll->stop();
            poll->deleteLater();
            if (name) {
                dialog->selectFile(QString::fromStdString(*name));
            }
            QMetaObject::invokeMethod(dialog, name ? "accept" : "reject");
        }
    });
    poll->start(kPollInterval);
}

std::string Caption(const TemplateDialog& dialog) {
    return QtWindow(dialog).windowTitle().toStdString();
}

bool IsShown(const TemplateDialog& dialog) {
    return QtWindow(dialog).isVisible();
}

bool TakesInput(const TemplateDialog& dialog) {
    // A modal window of Qt's (a message box) blocks the others without disabling them.
    const QWidget* modal = QApplication::activeModalWidget();
    return QtWindow(dialog).isEnabled() && (modal == nullptr || modal == &QtWindow(dialog));
}

bool IsSystemMenuItemChecked(TemplateDialog& dialog, unsigned nID) {
    return SystemMenuItem(dialog, nID)->isChecked();
}

TemplateDialog* InnermostModalDialog() {
    return DialogOfQtWindow(QApplication::activeModalWidget());
}

int FocusedControl(const TemplateDialog& dialog) {
    const QWidget* focus = QtWindow(dialog).focusWidget();
    for (const ControlTemplate& control : dialog.Template().controls) {
        const QWidget* widget = QtControl(dialog, control.id);
        if (focus != nullptr && widget != nullptr &&
            (widget == focus || widget->isAncestorOf(focus))) {
            return control.id;
        }
    }
    return 0;
}

std::string SelectedText(const TemplateDialog& dialog, int editId) {
    const auto* edit = qobject_cast<const QLineEdit*>(QtControl(dialog, editId));
    if (edit != nullptr) {
        return edit->selectedText().toLatin1().toStdString();
    }
    int start = 0, end = 0;
    dialog.GetEditSel(editId, start, end);
    return dialog.GetDlgItemText(editId).substr(static_cast<std::size_t>(start),
                                                static_cast<std::size_t>(end - start));
}

std::string ToolTip(TemplateDialog& dialog, int id) {
    QWidget* control = QtControl(dialog, id);
    const QPoint inside = control->rect().center();
    QHelpEvent rest(QEvent::ToolTip, inside, control->mapToGlobal(inside));
    QApplication::sendEvent(control, &rest);
    const std::string text = QToolTip::isVisible() ? QToolTip::text().toStdString() : "";
    QToolTip::hideText();
    return text;
}
