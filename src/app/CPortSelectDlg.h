#pragma once

#include "app/TerminalWindow.h"
#include "ui/TemplateDialog.h"

#include <cstdint>
#include <string_view>

// The system-menu command that opens the About box; the lowest four bits of a command are
// the system's own, so 0x0010 to 0x001F all mean it.
constexpr unsigned kIdmAboutBox = 0x0010;

// The first window: asks for the port number; "Start" opens a terminal window on it, as many
// times as the user likes; OK (after checking the number) and Cancel end the program.
class CPortSelectDlg : public TemplateDialog {
public:
    explicit CPortSelectDlg(TemplateDialog* pParent = nullptr,
                            TerminalWindowFactory makeTerminalWindow = MakeTerminalWindow);

    bool DoDataExchange(bool saveAndValidate) override;
    bool OnInitDialog() override;
    void OnSysCommand(unsigned nID, long lParam) override;
    void OnPaint() override;
    WindowIcon OnQueryDragIcon() const override;
    void OnStart();

    // Appends a separator and the About item (kIdmAboutBox) with this text, unless the text
    // is empty.
    static void AppendAboutItem(SystemMenu& menu, std::string_view text);

    std::uint8_t m_byPortNumber;
    WindowIcon m_hIcon;

private:
    TerminalWindowFactory m_makeTerminalWindow;
};
