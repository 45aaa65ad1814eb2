#include "ui/win32/Win32SystemMenu.h"

#include <string>

Win32SystemMenu::Win32SystemMenu(std::function<HWND()> window) : m_window(std::move(window)) {}

void Win32SystemMenu::AppendSeparator() {
    if (HMENU menu = Menu()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    }
}

void Win32SystemMenu::AppendItem(unsigned nID, std::string_view text) {
    if (HMENU menu = Menu()) {
        AppendMenuA(menu, MF_STRING, nID, std::string(text).c_str());
    }
}

void Win32SystemMenu::CheckItem(unsigned nID, bool checked) {
    if (HMENU menu = Menu()) {
        CheckMenuItem(menu, nID, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

HMENU Win32SystemMenu::Menu() const {
    const HWND window = m_window();
    return window != nullptr ? GetSystemMenu(window, FALSE) : nullptr;
}
