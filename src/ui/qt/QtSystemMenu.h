#pragma once

#include "ui/SystemMenu.h"

#include <functional>
#include <string_view>

#include <QMenu>

class QPoint;
class QWidget;

// The system menu on Qt. The window manager owns the real one, so a window carries this one as
// its context menu (right click, or the Menu key). It starts with "Close"; choosing an item
// sends its command to the window once the menu has closed.
class QtSystemMenu final : public SystemMenu {
public:
    QtSystemMenu(QWidget& window, std::function<void(unsigned)> sendCommand);

    void AppendSeparator() override;
    void AppendItem(unsigned nID, std::string_view text) override;
    void CheckItem(unsigned nID, bool checked) override;

    void Popup(const QPoint& globalPos);
    QMenu& Menu() { return m_menu; }

    // The command an item of Menu() sends; 0 for a separator.
    static unsigned CommandOf(const QAction& action);

private:
    QWidget& m_window;
    std::function<void(unsigned)> m_sendCommand;
    QMenu m_menu;
};
