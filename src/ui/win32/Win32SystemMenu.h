#pragma once

#include "ui/SystemMenu.h"
#include "ui/win32/WindowsApi.h"

#include <functional>
#include <string_view>

// The window's own system menu, as the system keeps it (GetSystemMenu). Its commands reach
// the window as WM_SYSCOMMAND.
class Win32SystemMenu final : public SystemMenu {
public:
    // window: the window whose menu this is, once it exists.
    explicit Win32SystemMenu(std::function<HWND()> window);

    void AppendSeparator() override;
    void AppendItem(unsigned nID, std::string_view text) override;
    void CheckItem(unsigned nID, bool checked) override;

private:
    HMENU Menu() const;

    std::function<HWND()> m_window;
};
