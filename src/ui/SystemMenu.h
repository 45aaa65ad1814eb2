#pragma once

#include <functional>
#include <string_view>

#include <QMenu>

class QPoint;
class QWidget;

// Commands of a window's system menu.
constexpr unsigned kScClose = 0xF060;

// The window's menu of window commands. The window manager owns the real system menu, so a
// window carries this one as its context menu (right click, or the Menu key). It starts with
// "Close"; choosing an item sends its command to the window once the menu has closed.
class SystemMenu {
public:
    SystemMenu(QWidget& window, std::function<void(unsigned)> sendCommand);

    void AppendSeparator();
    // text: the program's 8-bit text; an ampersand marks the access key.
    void AppendItem(unsigned nID, std::string_view text);

    void Popup(const QPoint& globalPos);
    QMenu& Menu() { return m_menu; }

    // The command an item of Menu() sends; 0 for a separator.
    static unsigned CommandOf(const QAction& action);

private:
    QWidget& m_window;
    std::function<void(unsigned)> m_sendCommand;
    QMenu m_menu;
};
