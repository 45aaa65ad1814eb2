#pragma once

#include <string_view>

// Commands of a window's system menu.
constexpr unsigned kScClose = 0xF060;
// The lowest four bits of a command are the system's own: a window compares the rest.
constexpr unsigned kSystemCommandMask = 0xFFF0;

// A window's menu of window commands. Choosing an item sends its command to the window's
// OnSysCommand once the menu has closed. Each backend provides it: the platform's own system
// menu where the program may add to it, else a menu of the window's own that starts with
// "Close" (right click, or the Menu key).
class SystemMenu {
public:
    virtual void AppendSeparator() = 0;
    // text: the program's 8-bit text; an ampersand marks the access key.
    virtual void AppendItem(unsigned nID, std::string_view text) = 0;
    // Shows a check mark beside the item nID, or takes it away.
    virtual void CheckItem(unsigned nID, bool checked) = 0;

protected:
    // Owned by its window, never destroyed through this interface.
    ~SystemMenu() = default;
};
