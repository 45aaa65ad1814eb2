#pragma once

#include "res/DialogIds.h"
#include "res/DialogTemplate.h"
#include "ui/DialogUnits.h"
#include "ui/SystemMenu.h"
#include "ui/WindowIcon.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

class DialogBackend;

// A dialog window built from a window template: its controls placed from dialog units and
// addressed by identifier, its data exchanged and checked by the class that derives from it,
// and the dialog behaviour every window of the program shares:
// - buttons 1 and 2 run OnOK and OnCancel unless a handler is bound to them;
// - Enter presses the default button, Escape and the close box run OnCancel;
// - a modal run (DoModal) keeps the window it was opened from disabled until it ends.
// The window itself is the platform's, a DialogBackend that this class owns; the window
// classes see no platform type.
class TemplateDialog {
public:
    // pParent: the owner for modal runs; with none, the modal window running at the time.
    explicit TemplateDialog(const DialogTemplate& dialogTemplate,
                            TemplateDialog* pParent = nullptr);
    virtual ~TemplateDialog();
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    // Runs OnInitDialog, then the window modally until EndDialog; returns EndDialog's result.
    int DoModal();
    // For the backend, once the window's controls exist: OnInitDialog and, when it returns
    // true, the focus to the template's first tab stop.
    void InitDialog();
    // Base: fills the combo boxes from the template, UpdateData(false), returns true. When it
    // returns true, the first tab stop gets the focus.
    virtual bool OnInitDialog();
    // Base: UpdateData(true) and, when that succeeds, EndDialog(kIdOk).
    virtual void OnOK();
    // Base: EndDialog(kIdCancel).
    virtual void OnCancel();
    // Moves data between the controls and the members; with saveAndValidate, from the
    // controls, checked: false when a check failed (after showing why). Base: nothing, true.
    virtual bool DoDataExchange(bool saveAndValidate);
    bool UpdateData(bool saveAndValidate = true);
    // Ends the modal run with this result; the window's timers stop with the run.
    void EndDialog(int result);

    // A tick of the timer nIDEvent. Base: nothing.
    virtual void OnTimer(unsigned nIDEvent);
    // A character typed while the window itself, not one of its controls, has the focus; the
    // window's default handling follows. nChar is the character's 8-bit code. Base: nothing.
    virtual void OnChar(unsigned nChar, unsigned nRepCnt, unsigned nFlags);
    // A command chosen from the system menu. Base: the window's default processing, in which
    // kScClose closes the window as its close box does.
    virtual void OnSysCommand(unsigned nID, long lParam);
    // Paints the window; runs while the window paints (see PaintContext.h). Base: the
    // window's default painting.
    virtual void OnPaint();
    // The icon shown while the minimised window is dragged. Base: none, the system's own.
    virtual WindowIcon OnQueryDragIcon() const;

    // Notifications, as the window's backend delivers them. A click of a button, or the
    // user's choice of a combo box entry, runs the handler bound to the control's identifier;
    // an unbound button 1 runs OnOK, an unbound button 2 OnCancel.
    void OnCommand(int id);
    void OnSelChange(int id);

    // Whether the window has a control with this identifier.
    bool HasDlgItem(int id) const;
    // The text of an edit, combo box, button or static text, in the program's 8-bit text
    // (one character is one byte). A multi-line edit's line breaks are "\r\n" both ways; text
    // set ends at its first zero byte. No such control reads as "" and takes nothing.
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::string_view text);
    // Adds text at the end of a multi-line edit's text at the cost of the text added: the edit
    // then holds, shows and selects what SetDlgItemText of its old text followed by `text`
    // would leave. False, with nothing changed, where the window cannot add text so: the
    // caller then sets the whole text.
    bool AppendDlgItemText(int id, std::string_view text);

    // Combo boxes. Indexes count from 0; -1 is no selection or a failure.
    int ComboAddString(int id, std::string_view text);  // the new entry's index
    // Removes every entry and the selection.
    void ComboResetContent(int id);
    int ComboGetCount(int id) const;
    std::string ComboGetLBText(int id, int index) const;
    int ComboGetCurSel(int id) const;
    // Selects an entry, or none for an index out of range; sends no change notification.
    // Returns the index selected, or -1.
    int ComboSetCurSel(int id, int index);

    // Gives a control the focus, with all its text selected when it is an edit; a failed
    // check puts the user there.
    void GotoDlgCtrl(int id);
    // Resting the pointer on the control shows a tooltip with the text (UTF-8, lines apart
    // with "\n") that `text` gives at that moment. Set from OnInitDialog on.
    void SetDlgItemToolTip(int id, std::function<std::string()> text);
    // The selection of a multi-line edit, as offsets into GetDlgItemText's text ("\r\n" is
    // two characters), start not after end; both 0 where there is no such edit.
    void GetEditSel(int id, int& start, int& end) const;
    // Adds an item (UTF-8) to a multi-line edit's context menu, after Copy and Select All;
    // choosing it runs the handler bound to commandId. The item is enabled when `available`
    // says so as the menu opens. Added from OnInitDialog on.
    void AddEditMenuItem(int id, std::string_view text, int commandId,
                         std::function<bool()> available);

    // Starts (or restarts) the timer nIDEvent; its ticks call OnTimer on this thread, also
    // while a message box or another modal window is open.
    void SetTimer(unsigned nIDEvent, unsigned elapseMs);
    void KillTimer(unsigned nIDEvent);
    // Runs `call` on this thread once the handler running now has returned, if the window's
    // run still lasts then. A tick shows its message boxes so: a box opened inside a tick would
    // hold up the timer's next ticks while it waits.
    void PostCall(std::function<void()> call);

    SystemMenu& GetSystemMenu();
    // Sets the window's large (bigIcon) or small icon.
    void SetIcon(const WindowIcon& icon, bool bigIcon);
    WindowIcon GetIcon(bool bigIcon) const;
    bool IsIconic() const;
    // The client area in pixels, at 0, 0.
    PixelRect GetClientRect() const;

    const DialogTemplate& Template() const { return m_template; }
    // The platform's window, for the backend's own code.
    DialogBackend& Backend() const { return *m_backend; }

protected:
    // Message map: binds a handler to a button's click or a combo box's change.
    void BindClicked(int id, std::function<void()> handler);
    void BindSelChange(int id, std::function<void()> handler);
    template <class Dialog>
    void BindClicked(int id, void (Dialog::*handler)()) {
        BindClicked(id, [this, handler] { (static_cast<Dialog*>(this)->*handler)(); });
    }
    template <class Dialog>
    void BindSelChange(int id, void (Dialog::*handler)()) {
        BindSelChange(id, [this, handler] { (static_cast<Dialog*>(this)->*handler)(); });
    }

private:
    void FillComboBoxes();
    bool InComboRange(int id, int index) const;

    const DialogTemplate& m_template;
    std::map<int, std::function<void()>> m_clickHandlers;
    std::map<int, std::function<void()>> m_selChangeHandlers;
    WindowIcon m_bigIcon;
    WindowIcon m_smallIcon;
    // Last, so that the window goes first, while everything it may call is still there.
    std::unique_ptr<DialogBackend> m_backend;
};
