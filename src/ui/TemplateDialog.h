#pragma once

#include "res/DialogIds.h"
#include "res/DialogTemplate.h"
#include "ui/DialogUnits.h"
#include "ui/SystemMenu.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include <QDialog>
#include <QIcon>
#include <QPointer>

class QTimer;

// A dialog window built from a window template: its controls placed from dialog units and
// addressed by identifier, its data exchanged and checked by the class that derives from it,
// and the dialog behaviour every window of the program shares:
// - buttons 1 and 2 run OnOK and OnCancel unless a handler is bound to them;
// - Enter presses the default button, Escape and the close box run OnCancel;
// - a modal run (DoModal) keeps the window it was opened from disabled until it ends.
// A dialog never has a Qt parent: the window it is opened from is its owner only.
class TemplateDialog : public QDialog {
public:
    // pParent: the owner for modal runs; with none, the modal window running at the time.
    explicit TemplateDialog(const DialogTemplate& dialogTemplate, QWidget* pParent = nullptr);
    ~TemplateDialog() override;

    // Runs OnInitDialog, then the window modally until EndDialog; returns EndDialog's result.
    int DoModal();
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
    // A command chosen from the system menu. Base: kScClose closes the window as its close
    // box does; other commands need nothing here.
    virtual void OnSysCommand(unsigned nID, long lParam);
    // Paints the window; runs inside the window's paint event. Base: nothing, as the
    // background is already painted.
    virtual void OnPaint();

    // The control with this identifier, or nullptr.
    QWidget* GetDlgItem(int id) const;
    // The text of an edit, combo box, button or static text, in the program's 8-bit text
    // (see Latin1Text.h). A multi-line edit's line breaks are "\r\n" both ways.
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::string_view text);

    // Combo boxes. Indexes count from 0; -1 is no selection or a failure.
    int ComboAddString(int id, std::string_view text);  // the new entry's index
    int ComboGetCount(int id) const;
    std::string ComboGetLBText(int id, int index) const;
    int ComboGetCurSel(int id) const;
    // Selects an entry, or none for an index out of range; sends no change notification.
    // Returns the index selected, or -1.
    int ComboSetCurSel(int id, int index);

    // Gives a control the focus, with all its text selected when it is an edit; a failed
    // check puts the user there.
    void GotoDlgCtrl(int id);

    // Starts (or restarts) the timer nIDEvent; its ticks call OnTimer on this thread, also
    // while a message box or another modal window is open.
    void SetTimer(unsigned nIDEvent, unsigned elapseMs);
    void KillTimer(unsigned nIDEvent);

    SystemMenu& GetSystemMenu() { return m_systemMenu; }
    // Sets the window's large (bigIcon) or small icon.
    void SetIcon(const QIcon& icon, bool bigIcon);
    QIcon GetIcon(bool bigIcon) const;
    bool IsIconic() const { return isMinimized(); }

    const DialogTemplate& Template() const { return m_template; }
    DialogBaseUnits BaseUnits() const { return m_baseUnits; }

protected:
    // Message map: a click of a button, or the user's choice of a combo box entry, runs the
    // handler bound to the control's identifier.
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

    void accept() override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnCommand(int id);
    void OnSelChange(int id);
    void FocusFirstTabStop();
    void FillComboBoxes();
    void DisableOwner();
    void EnableOwner();
    void KillAllTimers();

    const DialogTemplate& m_template;
    QPointer<QWidget> m_owner;
    DialogBaseUnits m_baseUnits{};
    std::map<int, QWidget*> m_controls;
    std::map<int, std::function<void()>> m_clickHandlers;
    std::map<int, std::function<void()>> m_selChangeHandlers;
    std::map<unsigned, QTimer*> m_timers;
    SystemMenu m_systemMenu;
    QIcon m_bigIcon;
    QIcon m_smallIcon;
    // The owner this run disabled, and the control that had its focus.
    QPointer<QWidget> m_disabledOwner;
    QPointer<QWidget> m_ownerFocus;
    bool m_ended = false;
    int m_endResult = 0;
};
