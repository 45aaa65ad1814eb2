#include "support/WindowTestDriver.h"

#include "ui/TemplateDialog.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/WindowsApi.h"
#include "win32/WideText.h"

#include <chrono>
#include <commctrl.h>
#include <map>

#include <gtest/gtest.h>

namespace {

constexpr UINT kPollIntervalMs = 5;
constexpr ULONGLONG kHangGuardMs = 60'000;
constexpr wchar_t kDialogClass[] = L"#32770";

// Handles this thread's waiting messages as a modal loop does: keys go through the dialog
// manager of the window they are for.
void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        const HWND window = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
        if (window == nullptr || !IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// A key as the keyboard sends it to the window with the focus, handled as the modal loop
// would handle it.
void PressVirtualKey(WPARAM virtualKey) {
    const HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(focus, WM_KEYUP, virtualKey, 1);
    PumpMessages();
}

HWND Window(const TemplateDialog& dialog) {
    return Win32Window(dialog);
}

// The system gives no input to a window that is disabled, nor to the controls of one.
bool ReachesControl(const TemplateDialog& dialog, HWND control) {
    return control != nullptr && IsWindowEnabled(control) && IsWindowEnabled(Window(dialog));
}

// Moves the focus as the dialog manager does: an edit's text is selected.
void Focus(const TemplateDialog& dialog, HWND control) {
    SendMessageW(Window(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// Thread timers of the test, dispatched by whatever message loop runs.
template <class Entry>
std::map<UINT_PTR, Entry>& Timers() {
    static std::map<UINT_PTR, Entry> timers;
    return timers;
}

struct NextModalWindow {
    TemplateDialog* before;
    ULONGLONG deadline;
    std::function<void()> step;
};

void CALLBACK CheckForNextModalWindow(HWND, UINT, UINT_PTR id, DWORD) {
    auto& waiting = Timers<NextModalWindow>();
    const auto found = waiting.find(id);
    if (found == waiting.end()) {
        return;
    }
    // Shown, the innermost, and not under a message box.
    TemplateDialog* shown = InnermostShownDialog();
    const bool isNext = shown != nullptr && shown != found->second.before &&
                        shown == InnermostRunningDialog() && IsWindowEnabled(Window(*shown));
    if (isNext || GetTickCount64() > found->second.deadline) {
        const std::function<void()> step = std::move(found->second.step);
        KillTimer(nullptr, id);
        waiting.erase(found);
        if (isNext) {
            step();
        } else {
            ADD_FAILURE() << "no window ran modally";
        }
    }
}

// The name the next file dialog is answered with.
std::optional<std::string> g_fileDialogAnswer;

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR id, DWORD) {
    // The file dialog opens with the focus in its file name field.
    const HWND field = GetFocus();
    const HWND dialog = GetAncestor(field, GA_ROOT);
    wchar_t className[8] = {};
    GetClassNameW(field, className, static_cast<int>(std::size(className)));
    if (field != nullptr && std::wstring_view(className) == L"Edit" &&
        DialogOfWin32Window(dialog) == nullptr) {
        KillTimer(nullptr, id);
        if (g_fileDialogAnswer) {
            SetWindowTextW(field, WideFromUtf8(*g_fileDialogAnswer).c_str());
        }
        PostMessageW(dialog, WM_COMMAND, g_fileDialogAnswer ? IDOK : IDCANCEL, 0);
    }
}

// Closes the innermost window of the program: a message box, else a running dialog.
BOOL CALLBACK CloseOneWindow(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (IsWindowVisible(window) && IsWindowEnabled(window) &&
        std::wstring_view(className) == kDialogClass) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return FALSE;
    }
    return TRUE;
}

// The text a tooltip control of `dialog`'s window has for one of its controls: it asks the
// window for it, as before it shows.
struct ToolTipRequest {
    HWND window;
    TTTOOLINFOW tool;
};

BOOL CALLBACK AskToolTip(HWND toolTip, LPARAM lParam) {
    auto& request = *reinterpret_cast<ToolTipRequest*>(lParam);
    wchar_t className[32] = {};
    GetClassNameW(toolTip, className, static_cast<int>(std::size(className)));
    if (std::wstring_view(className) == TOOLTIPS_CLASSW &&
        GetWindow(toolTip, GW_OWNER) == request.window) {
        SendMessageW(toolTip, TTM_GETTEXTW, INFOTIPSIZE, reinterpret_cast<LPARAM>(&request.tool));
    }
    return request.tool.lpszText[0] == L'\0';
}

}  // namespace

class EventLoopPoll::Timer {
public:
    explicit Timer(std::function<void()> check)
        : m_check(std::move(check)), m_id(SetTimer(nullptr, 0, kPollIntervalMs, &Timer::Tick)) {
        Timers<Timer*>()[m_id] = this;
    }
    ~Timer() {
        KillTimer(nullptr, m_id);
        Timers<Timer*>().erase(m_id);
    }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        const auto found = Timers<Timer*>().find(id);
        // Not again while a check runs a loop of its own.
        if (found == Timers<Timer*>().end() || found->second->m_checking) {
            return;
        }
        Timer& timer = *found->second;
        timer.m_checking = true;
        timer.m_check();
        if (Timers<Timer*>().count(id) != 0) {
            timer.m_checking = false;
        }
    }

    std::function<void()> m_check;
    UINT_PTR m_id;
    bool m_checking = false;
};

EventLoopPoll::EventLoopPoll(std::function<void()> check)
    : m_timer(std::make_unique<Timer>(std::move(check))) {}

EventLoopPoll::~EventLoopPoll() = default;

void OnNextModalWindow(std::function<void()> step) {
    const UINT_PTR id = SetTimer(nullptr, 0, kPollIntervalMs, &CheckForNextModalWindow);
    Timers<NextModalWindow>()[id] = {InnermostShownDialog(), GetTickCount64() + kHangGuardMs,
                                     std::move(step)};
}

bool WaitUntil(const std::function<bool()>& condition) {
    const ULONGLONG deadline = GetTickCount64() + kHangGuardMs;
    while (!condition()) {
        if (GetTickCount64() > deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollIntervalMs, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

class ModalHangGuard::Watch {
public:
    Watch()
        : m_expiry([this] {
              if (m_closing || GetTickCount64() < m_deadline) {
                  return;
              }
              m_closing = true;
              ADD_FAILURE() << "a modal window did not close; closing it";
          }),
          m_closer([this] {
              // Keeps closing, as closing one window may uncover another.
              if (m_closing) {
                  EnumThreadWindows(GetCurrentThreadId(), &CloseOneWindow, 0);
              }
          }) {}

private:
    ULONGLONG m_deadline = GetTickCount64() + kHangGuardMs;
    bool m_closing = false;
    EventLoopPoll m_expiry;
    EventLoopPoll m_closer;
};

ModalHangGuard::ModalHangGuard() : m_watch(std::make_unique<Watch>()) {}

ModalHangGuard::~ModalHangGuard() = default;

void Click(TemplateDialog& dialog, int id) {
    const HWND button = Win32Control(dialog, id);
    if (ReachesControl(dialog, button)) {
        SendMessageW(button, BM_CLICK, 0, 0);
    }
}

void Type(TemplateDialog& dialog, int editId, std::string_view text) {
    const HWND edit = Win32Control(dialog, editId);
    if (!ReachesControl(dialog, edit)) {
        return;
    }
    Focus(dialog, edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 1);
        return;
    }
    // Each character as the keyboard gives it in the user's code page.
    for (const char c : text) {
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

void PressKey(TemplateDialog& dialog, int id, Key key) {
    const HWND control = Win32Control(dialog, id);
    if (ReachesControl(dialog, control)) {
        Focus(dialog, control);
        PressVirtualKey(key == Key::kEnter ? VK_RETURN : VK_ESCAPE);
    }
}

void Choose(TemplateDialog& dialog, int comboId, int index) {
    const HWND combo = Win32Control(dialog, comboId);
    if (!ReachesControl(dialog, combo)) {
        return;
    }
    // Getting to the neighbour notifies nobody: the program's own choice.
    Focus(dialog, combo);
    dialog.ComboSetCurSel(comboId, index == 0 ? 1 : index - 1);
    PressVirtualKey(index == 0 ? VK_UP : VK_DOWN);
}

void TypeToWindow(TemplateDialog& dialog, char c) {
    PostMessageA(Window(dialog), WM_CHAR, static_cast<unsigned char>(c), 1);
    PumpMessages();
}

bool ChooseEditMenuItem(TemplateDialog& dialog, int editId, std::string_view text) {
    const HWND edit = Win32Control(dialog, editId);
    bool shown = false;
    bool chosen = false;
    // The menu runs a loop of its own; once it shows, keys move down onto the item and choose it.
    EventLoopPoll answer([&] {
        const HWND popup = FindWindowW(L"#32768", nullptr);
        if (shown || popup == nullptr || !IsWindowVisible(popup)) {
            return;
        }
        shown = true;
        const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (UINT i = 0; i < static_cast<UINT>(GetMenuItemCount(menu)) && !chosen; ++i) {
            wchar_t item[64] = {};
            GetMenuStringW(menu, i, item, 64, MF_BYPOSITION);
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            if ((state & MF_SEPARATOR) == 0) {
                PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 1);
            }
            chosen = WideFromUtf8(std::string(text)) == item && (state & MF_GRAYED) == 0;
        }
        PostMessageW(popup, WM_KEYDOWN, chosen ? VK_RETURN : VK_ESCAPE, 1);
    });
    SendMessageW(edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(edit), MAKELPARAM(-1, -1));
    return chosen;
}

void ClickCloseBox(TemplateDialog& dialog) {
    PostMessageW(Window(dialog), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
}

void ChooseSystemMenuItem(TemplateDialog& dialog, unsigned nID) {
    PostMessageW(Window(dialog), WM_SYSCOMMAND, nID, 0);
    PumpMessages();
}

void AnswerNextFileDialog(std::optional<std::string> name) {
    g_fileDialogAnswer = std::move(name);
    SetTimer(nullptr, 0, kPollIntervalMs, &AnswerFileDialog);
}

std::string Caption(const TemplateDialog& dialog) {
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(Window(dialog))) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(
        GetWindowTextW(Window(dialog), caption.data(), static_cast<int>(caption.size()))));
    return Utf8FromWide(caption);
}

bool IsShown(const TemplateDialog& dialog) {
    return IsWindowVisible(Window(dialog)) != FALSE;
}

bool TakesInput(const TemplateDialog& dialog) {
    return IsWindowEnabled(Window(dialog)) != FALSE;
}

bool IsSystemMenuItemChecked(TemplateDialog& dialog, unsigned nID) {
    const UINT state = GetMenuState(GetSystemMenu(Window(dialog), FALSE), nID, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

TemplateDialog* InnermostModalDialog() {
    return InnermostRunningDialog();
}

int FocusedControl(const TemplateDialog& dialog) {
    const HWND focus = GetFocus();
    for (const ControlTemplate& control : dialog.Template().controls) {
        const HWND window = Win32Control(dialog, control.id);
        if (focus != nullptr && window != nullptr && (window == focus || IsChild(window, focus))) {
            return control.id;
        }
    }
    return 0;
}

std::string SelectedText(const TemplateDialog& dialog, int editId) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Win32Control(dialog, editId), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::string text = dialog.GetDlgItemText(editId);
    return start < end && end <= text.size() ? text.substr(start, end - start) : std::string();
}

std::string ToolTip(TemplateDialog& dialog, int id) {
    wchar_t text[INFOTIPSIZE] = {};
    ToolTipRequest request{Window(dialog), {}};
    request.tool.cbSize = sizeof(request.tool);
    request.tool.hwnd = Window(dialog);
    request.tool.uId = reinterpret_cast<UINT_PTR>(Win32Control(dialog, id));
    request.tool.lpszText = text;
    EnumThreadWindows(GetCurrentThreadId(), &AskToolTip, reinterpret_cast<LPARAM>(&request));
    std::wstring lines = text;
    lines.erase(std::remove(lines.begin(), lines.end(), L'\r'), lines.end());
    return Utf8FromWide(lines);
}
