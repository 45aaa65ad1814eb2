#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TemplateDialog;

// Drives the program's real windows as a user does, on the window backend the program is
// built with, so that the window classes' tests run unchanged on every platform. Each
// backend of the test support implements these. Nothing here waits for a given time: a hang
// guard only stops a test that would otherwise never end.

// Runs `step` inside the event loop of the next window that runs modally, once it is shown
// and is the innermost window running. Message boxes are passed over.
void OnNextModalWindow(std::function<void()> step);

// Runs `check` every few milliseconds inside whatever event loop runs (a window's, a message
// box's), for as long as it exists.
class EventLoopPoll {
public:
    explicit EventLoopPoll(std::function<void()> check);
    ~EventLoopPoll();
    EventLoopPoll(const EventLoopPoll&) = delete;
    EventLoopPoll& operator=(const EventLoopPoll&) = delete;

private:
    class Timer;
    std::unique_ptr<Timer> m_timer;
};

// Runs the real event loop until the condition holds; false if it still does not hold when
// the hang guard runs out.
bool WaitUntil(const std::function<bool()>& condition);

// While one exists, a test whose modal windows never close fails after a generous time and
// has its modal windows and message boxes closed, so that it ends.
class ModalHangGuard {
public:
    ModalHangGuard();
    ~ModalHangGuard();
    ModalHangGuard(const ModalHangGuard&) = delete;
    ModalHangGuard& operator=(const ModalHangGuard&) = delete;

private:
    class Watch;
    std::unique_ptr<Watch> m_watch;
};

// What a user does to one of the window's controls, by identifier. Input reaches a control
// only while it and its window take input, as the system's own input does.

// A click of the button with the mouse.
void Click(TemplateDialog& dialog, int id);
// Types into an edit: the focus goes there with all its text selected, then each character of
// `text` (the program's 8-bit text) is typed; an empty text deletes the selection.
void Type(TemplateDialog& dialog, int editId, std::string_view text);
enum class Key { kEnter, kEscape };
// The key pressed while the control (a combo box's field, for a combo box) has the focus.
void PressKey(TemplateDialog& dialog, int id, Key key);
// Picks entry `index` of a combo box with the keyboard, moving onto it from its neighbour, so
// that the window hears of the choice as of any user's.
void Choose(TemplateDialog& dialog, int comboId, int index);
// A character typed while the window itself, not one of its controls, has the focus.
void TypeToWindow(TemplateDialog& dialog, char c);
// Opens an edit's context menu from the keyboard and chooses its item `text` (UTF-8); false,
// with the menu closed, where the item is missing or disabled.
bool ChooseEditMenuItem(TemplateDialog& dialog, int editId, std::string_view text);
// A click on the window's close box.
void ClickCloseBox(TemplateDialog& dialog);
// Chooses item nID of the window's system menu; returns once the window has handled it.
void ChooseSystemMenuItem(TemplateDialog& dialog, unsigned nID);
// Answers the next file dialog as a user who types `name` and presses its OK button does;
// with no name, as one who presses Cancel.
void AnswerNextFileDialog(std::optional<std::string> name);

// What the user sees of the window.
std::string Caption(const TemplateDialog& dialog);
bool IsShown(const TemplateDialog& dialog);
// False while a modal window opened over it runs.
bool TakesInput(const TemplateDialog& dialog);
bool IsSystemMenuItemChecked(TemplateDialog& dialog, unsigned nID);
// The innermost window of the program's dialogs running modally, or nullptr.
TemplateDialog* InnermostModalDialog();
// The identifier of the control that has the keyboard focus; 0 when no control of the
// window has it.
int FocusedControl(const TemplateDialog& dialog);
// The selected part of an edit's text.
std::string SelectedText(const TemplateDialog& dialog, int editId);
// The pointer rests on the control: the text of the tooltip that shows (UTF-8, lines apart
// with "\n"), or "" when none does.
std::string ToolTip(TemplateDialog& dialog, int id);
