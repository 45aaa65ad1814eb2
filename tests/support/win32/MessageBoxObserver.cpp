#include "support/MessageBoxObserver.h"

#include "support/WindowTestDriver.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/WindowsApi.h"
#include "win32/WideText.h"

#include <set>
#include <string_view>

namespace {

MessageBoxObserver* g_current = nullptr;

constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kStaticClass[] = L"Static";

std::wstring ClassOf(HWND window) {
    wchar_t name[32] = {};
    return {name, static_cast<std::size_t>(
                      GetClassNameW(window, name, static_cast<int>(std::size(name))))};
}

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A dialog of the system on this thread, none of the program's own nor a file dialog (which has
// combo boxes): other programs' windows on the same display take the activation at times.
bool IsMessageBox(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() &&
           ClassOf(window) == kDialogClass && DialogOfWin32Window(window) == nullptr &&
           FindWindowExW(window, nullptr, L"ComboBox", nullptr) == nullptr;
}

// What the box's static controls show: its text, and its icon.
struct BoxContent {
    std::wstring text;
    HICON icon = nullptr;
};

BOOL CALLBACK ReadStatic(HWND control, LPARAM content) {
    if (ClassOf(control) != kStaticClass) {
        return TRUE;
    }
    auto& box = *reinterpret_cast<BoxContent*>(content);
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        box.icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    } else if (const std::wstring text = TextOf(control); !text.empty()) {
        box.text = text;
    }
    return TRUE;
}

MessageIcon IconOf(HICON icon) {
    if (icon != nullptr && icon == LoadIconA(nullptr, IDI_WARNING)) {
        return MessageIcon::kWarning;
    }
    if (icon != nullptr && icon == LoadIconA(nullptr, IDI_INFORMATION)) {
        return MessageIcon::kInformation;
    }
    return MessageIcon::kOther;
}

}  // namespace

// Sees each box of this thread as the system activates it (a computer-based-training hook),
// records it and closes it from a poll that runs in the box's own loop.
class MessageBoxObserver::Watch {
public:
    explicit Watch(MessageBoxObserver& observer)
        : m_observer(observer),
          m_hook(SetWindowsHookExW(WH_CBT, &Watch::Hook, nullptr, GetCurrentThreadId())),
          m_closer([this] { CloseDue(); }) {}
    ~Watch() { UnhookWindowsHookEx(m_hook); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

private:
    struct OpenBox {
        HWND window;
        ULONGLONG closeAt;
        std::size_t shown;  // its record
    };

    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && g_current != nullptr) {
            g_current->m_watch->Observe(reinterpret_cast<HWND>(wParam));
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Observe(HWND window) {
        if (!IsMessageBox(window) || m_seen.count(window) != 0) {
            return;
        }
        m_seen.insert(window);
        m_observer.m_shown.push_back({Utf8FromWide(TextOf(window)),
                                      {},
                                      MessageIcon::kOther,
                                      GetWindow(window, GW_OWNER) != nullptr});
        m_open.push_back({window,
                          GetTickCount64() + static_cast<ULONGLONG>(m_observer.m_holdTime.count()),
                          m_observer.m_shown.size() - 1});
        ReadContent(m_open.back());
    }

    // A task-modal box is activated before its text is in place: read again until it closes.
    void ReadContent(const OpenBox& box) {
        BoxContent content;
        EnumChildWindows(box.window, &ReadStatic, reinterpret_cast<LPARAM>(&content));
        if (content.text.empty()) {
            return;
        }
        ShownMessageBox& shown = m_observer.m_shown[box.shown];
        shown.text = Utf8FromWide(content.text);
        shown.icon = IconOf(content.icon);
    }

    void CloseDue() {
        for (auto box = m_open.begin(); box != m_open.end();) {
            if (!IsWindow(box->window)) {
                m_seen.erase(box->window);
                box = m_open.erase(box);
                continue;
            }
            ReadContent(*box);
            const bool due = GetTickCount64() >= box->closeAt ||
                             (m_observer.m_closeCondition && m_observer.m_closeCondition());
            if (due) {
                // Its OK button, as the user presses it.
                PostMessageW(box->window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(box->window, IDOK)));
                box->closeAt = ULLONG_MAX;
            }
            ++box;
        }
    }

    MessageBoxObserver& m_observer;
    HHOOK m_hook;
    std::set<HWND> m_seen;
    std::vector<OpenBox> m_open;
    EventLoopPoll m_closer;
};

MessageBoxObserver::MessageBoxObserver(std::chrono::milliseconds holdTime)
    : m_holdTime(holdTime), m_previous(g_current), m_watch(std::make_unique<Watch>(*this)) {
    g_current = this;
}

MessageBoxObserver::~MessageBoxObserver() {
    g_current = m_previous;
}

void MessageBoxObserver::CloseWhen(std::function<bool()> condition) {
    m_closeCondition = std::move(condition);
}
