#pragma once

#include "ui/DialogBackend.h"
#include "ui/win32/Win32SystemMenu.h"
#include "ui/win32/WindowsApi.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class TemplateDialog;

// A TemplateDialog's window on Windows: a dialog box of the system made from the template in
// memory and run with DialogBoxIndirectParamW, whose controls are the system's own and whose
// messages reach the dialog's handlers. The dialog manager does the rest as for any dialog:
// the focus, Tab, Enter and Escape, the close box, and disabling the owner while it runs.
class Win32Dialog final : public DialogBackend {
public:
    Win32Dialog(TemplateDialog& dialog, TemplateDialog* owner);
    ~Win32Dialog() override;
    Win32Dialog(const Win32Dialog&) = delete;
    Win32Dialog& operator=(const Win32Dialog&) = delete;

    static Win32Dialog& Of(const TemplateDialog& dialog);
    // The innermost window running modally, or null.
    static HWND RunningWindow();
    // The innermost window running modally that is shown, or null.
    static HWND ShownWindow();
    // The dialog whose window this is, or null.
    static TemplateDialog* DialogOf(HWND window);

    TemplateDialog& Dialog() const { return m_dialog; }
    // Null outside a modal run.
    HWND Window() const { return m_window; }
    // The control with this identifier, or null.
    HWND Control(int id) const;

    int RunModal() override;
    void EndDialog(int result) override;

    bool HasDlgItem(int id) const override;
    std::string GetDlgItemText(int id) const override;
    void SetDlgItemText(int id, std::string_view text) override;
    bool AppendDlgItemText(int id, std::string_view text) override;
    int ComboAddString(int id, std::string_view text) override;
    void ComboResetContent(int id) override;
    int ComboGetCount(int id) const override;
    std::string ComboGetLBText(int id, int index) const override;
    int ComboGetCurSel(int id) const override;
    int ComboSetCurSel(int id, int index) override;
    void GotoDlgCtrl(int id) override;
    void SetDlgItemToolTip(int id, std::function<std::string()> text) override;
    void GetEditSel(int id, int& start, int& end) const override;
    void AddEditMenuItem(int id, std::string_view text, std::function<bool()> available,
                         std::function<void()> chosen) override;

    void SetTimer(unsigned nIDEvent, unsigned elapseMs) override;
    void KillTimer(unsigned nIDEvent) override;
    void PostCall(std::function<void()> call) override;

    SystemMenu& GetSystemMenu() override { return m_systemMenu; }
    void SetIcon(const WindowIcon& icon, bool bigIcon) override;
    bool IsIconic() const override;
    PixelRect GetClientRect() const override;

    void DefaultSysCommand(unsigned nID, long lParam) override;
    void DefaultPaint() override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnInitDialogMessage();
    void OnCommandMessage(int id, int code);
    void OnTimerMessage(unsigned nIDEvent);
    void OnCharMessage(WPARAM wParam, LPARAM lParam);
    void OnDpiChangedMessage(UINT dpi);
    INT_PTR OnQueryDragIconMessage();
    void OnNotifyMessage(NMHDR& header);

    void PrepareControls();
    void SetIcons();
    // Gives the multi-line edits (the log view) a fixed-width font at this DPI.
    void SetFixedWidthFont(UINT dpi, bool redraw);
    // The control, when the template makes it of this kind; else null.
    HWND ControlOfKind(int id, ControlKind kind) const;
    bool IsOfKind(int id, ControlKind kind) const;
    bool IsSingleLineEdit(int id) const;
    void KillAllTimers();
    void RunPostedCall();
    // A multi-line edit's context menu is the program's own: Copy, Select All and the items
    // the window adds.
    static LRESULT CALLBACK EditMenuProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    void ShowEditMenu(HWND edit, int id, LPARAM at);

    TemplateDialog& m_dialog;
    TemplateDialog* m_owner;
    HWND m_window = nullptr;
    // The log view's fixed-width font, made for each run from the dialog font as the run
    // began, and again at each change of DPI.
    HFONT m_fixedFont = nullptr;
    LOGFONTW m_dialogFont{};
    UINT m_dialogFontDpi = 0;
    Win32SystemMenu m_systemMenu;
    std::set<unsigned> m_timers;
    // Timers whose tick is running, so that a tick showing a box is not entered again.
    std::set<unsigned> m_ticking;
    // Calls of PostCall, in order; each has a message of its own posted to the window.
    std::deque<std::function<void()>> m_postedCalls;
    // A standard tooltip control for the controls that have a tooltip, made for each run; it
    // asks for their texts when it shows.
    HWND m_toolTip = nullptr;
    std::map<int, std::function<std::string()>> m_toolTipTexts;
    std::wstring m_toolTipShown;
    struct EditMenuItem {
        std::wstring text;
        std::function<bool()> available;
        std::function<void()> chosen;
    };
    // The items each multi-line edit's context menu has after its own, for this run.
    std::map<int, std::vector<EditMenuItem>> m_editMenuItems;
};
