#include "ui/qt/QtSystemMenu.h"

#include "ui/qt/Latin1Text.h"

#include <QAction>
#include <QPoint>
#include <QWidget>

QtSystemMenu::QtSystemMenu(QWidget& window, std::function<void(unsigned)> sendCommand)
    : m_window(window), m_sendCommand(std::move(sendCommand)), m_menu(&window) {
    AppendItem(kScClose, "&Close");
}

void QtSystemMenu::AppendSeparator() {
    m_menu.addSeparator();
}

void QtSystemMenu::AppendItem(unsigned nID, std::string_view text) {
    QAction* action = m_menu.addAction(FromLatin1Text(text));
    action->setData(nID);
    // Queued, so that the command runs after the menu has gone, as a posted system command
    // does; a window destroyed meanwhile receives nothing.
    QObject::connect(
        action, &QAction::triggered, &m_window, [this, nID] { m_sendCommand(nID); },
        Qt::QueuedConnection);
}

void QtSystemMenu::CheckItem(unsigned nID, bool checked) {
    for (QAction* action : m_menu.actions()) {
        if (CommandOf(*action) == nID) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }
}

void QtSystemMenu::Popup(const QPoint& globalPos) {
    m_menu.popup(globalPos);
}

unsigned QtSystemMenu::CommandOf(const QAction& action) {
    return action.isSeparator() ? 0u : action.data().toUInt();
}
