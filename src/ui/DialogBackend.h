#pragma once

#include "ui/DialogUnits.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class SystemMenu;
class TemplateDialog;
class WindowIcon;

// The platform's window behind a TemplateDialog, built from the dialog's template. A window
// backend implements this class and MakeDialogBackend, and besides them SystemMenu (owned by
// this window), the members of PaintContext, GetSystemMetric and the functions of
// MessageBoxes.h and FileDialogs.h. Everything runs on the one user-interface thread.
//
// The backend calls the dialog's handlers as the window's messages come:
// - InitDialog from RunModal, once the controls exist and before the window shows;
// - OnCommand(id) for a click of a button, and for Enter, which presses the focused button
//   or else the default one; OnCommand(kIdCancel) for Escape and the close box;
// - OnSelChange(id) for the user's choice of a combo box entry, never for the program's;
// - OnTimer for each tick of a timer of SetTimer, also inside a message box's or another
//   window's nested loop, never re-entered while a tick of the same timer runs;
// - OnChar for a character typed while the window itself, not a control, has the focus;
// - OnSysCommand for a system-menu command, OnPaint when the window paints, OnQueryDragIcon
//   when the minimised window is dragged, where the platform has these.
// The control operations take the identifiers of the template; a control that is not of the
// kind an operation needs (or no control) gives the documented failure value of
// TemplateDialog's operation of the same name; ComboGetLBText gets an index in range,
// ComboSetCurSel one in range or -1 (none). The window classes use the controls, timers,
// icons and system menu only from OnInitDialog until the run ends, so a window that exists
// only during its run serves them all.
class DialogBackend {
public:
    virtual ~DialogBackend() = default;

    // Runs the window modally until EndDialog, as TemplateDialog::DoModal describes, and
    // returns EndDialog's result. The owner given to MakeDialogBackend (else the modal window
    // running at the time) takes no input meanwhile and gets back its focus afterwards.
    virtual int RunModal() = 0;
    // Ends the modal run with this result; the window's timers stop with the run. Called
    // during OnInitDialog, the run returns at once without showing the window.
    virtual void EndDialog(int result) = 0;

    virtual bool HasDlgItem(int id) const = 0;
    virtual std::string GetDlgItemText(int id) const = 0;
    virtual void SetDlgItemText(int id, std::string_view text) = 0;
    virtual bool AppendDlgItemText(int id, std::string_view text) = 0;
    virtual int ComboAddString(int id, std::string_view text) = 0;
    virtual void ComboResetContent(int id) = 0;
    virtual int ComboGetCount(int id) const = 0;
    virtual std::string ComboGetLBText(int id, int index) const = 0;
    virtual int ComboGetCurSel(int id) const = 0;
    virtual int ComboSetCurSel(int id, int index) = 0;
    virtual void GotoDlgCtrl(int id) = 0;
    // As TemplateDialog::SetDlgItemToolTip.
    virtual void SetDlgItemToolTip(int id, std::function<std::string()> text) = 0;
    // As TemplateDialog::GetEditSel and AddEditMenuItem.
    virtual void GetEditSel(int id, int& start, int& end) const = 0;
    virtual void AddEditMenuItem(int id, std::string_view text, std::function<bool()> available,
                                 std::function<void()> chosen) = 0;

    virtual void SetTimer(unsigned nIDEvent, unsigned elapseMs) = 0;
    virtual void KillTimer(unsigned nIDEvent) = 0;
    // As TemplateDialog::PostCall.
    virtual void PostCall(std::function<void()> call) = 0;

    virtual SystemMenu& GetSystemMenu() = 0;
    // Shows the icons the dialog keeps (TemplateDialog::GetIcon), after one of them changed.
    virtual void SetIcon(const WindowIcon& icon, bool bigIcon) = 0;
    virtual bool IsIconic() const = 0;
    // The client area, at 0, 0.
    virtual PixelRect GetClientRect() const = 0;

    // The window's default processing of a system command (kScClose closes the window as its
    // close box does) and of a paint.
    virtual void DefaultSysCommand(unsigned nID, long lParam) = 0;
    virtual void DefaultPaint() = 0;
};

// The platform's window for `dialog`; owner: the window it is run over, or nullptr for the
// modal window running at the time. Called from TemplateDialog's constructor, so the dialog's
// handlers must not run before RunModal or an event.
std::unique_ptr<DialogBackend> MakeDialogBackend(TemplateDialog& dialog, TemplateDialog* owner);
