#include "ui/win32/Win32Dialog.h"

#include "res/DialogTemplate.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/DialogTemplateWriter.h"
#include "ui/win32/Win32Dpi.h"
#include "ui/win32/Win32Icon.h"
#include "win32/WideText.h"

#include <algorithm>
#include <commctrl.h>
#include <cwchar>
#include <vector>
#include <windowsx.h>

namespace {

// The windows running modally, the innermost last.
std::vector<Win32Dialog*> g_running;

// Asks the window to run the first of its posted calls.
constexpr UINT kWmRunPostedCall = WM_APP + 1;

// The log view's face; the font mapper takes the nearest fixed-width face where it is
// missing.
constexpr wchar_t kFixedWidthFace[] = L"Courier New";

bool IsSingleLineEditControl(const ControlTemplate& control) {
    return control.kind == ControlKind::Edit && (control.style & kEditMultiline) == 0;
}

bool IsMultiLineEditControl(const ControlTemplate& control) {
    return control.kind == ControlKind::Edit && (control.style & kEditMultiline) != 0;
}

// The dialog font's height and weight in a fixed-width face, the height scaled from the DPI
// the dialog font was made at to this one.
HFONT MakeFixedWidthFont(LOGFONTW font, UINT dialogFontDpi, UINT dpi) {
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(dialogFontDpi));
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    wcsncpy(font.lfFaceName, kFixedWidthFace, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

// The commands of a multi-line edit's context menu; the window's items follow the last.
constexpr UINT kEditMenuCopy = 1;
constexpr UINT kEditMenuSelectAll = 2;
constexpr UINT kEditMenuFirstItem = 3;

// Wide enough for the longest line a tooltip of the program shows, at 96 DPI; longer lines
// wrap.
constexpr int kToolTipWidth = 600;
constexpr int kBaseDpi = 96;

void SetToolTipWidth(HWND toolTip, UINT dpi) {
    SendMessageW(toolTip, TTM_SETMAXTIPWIDTH, 0,
                 MulDiv(kToolTipWidth, static_cast<int>(dpi), kBaseDpi));
}

// A tooltip's lines are apart with CR LF.
std::wstring ToolTipText(const std::string& text) {
    std::wstring wide;
    for (const wchar_t c : WideFromUtf8(text)) {
        if (c == L'\n') {
            wide += L'\r';
        }
        wide += c;
    }
    return wide;
}

// Whether each byte of the program's 8-bit text is a character of its own: where a character
// may take two bytes, two pieces of text added apart may not read as the two set together.
bool IsSingleByteCodePage() {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) != FALSE && info.MaxCharSize == 1;
}

// A character of the window's Unicode messages as the program's 8-bit text has it.
unsigned AnsiCharCode(WPARAM character) {
    const std::string bytes = AnsiFromWide(std::wstring(1, static_cast<wchar_t>(character)));
    return bytes.empty() ? 0u : static_cast<unsigned char>(bytes.front());
}

// The controls of the system's visual style, which the program's manifest asks for, and the
// tooltip: their classes registered once, before the first window.
void RegisterCommonControls() {
    static const bool registered = [] {
        const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                           ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&classes) != FALSE;
    }();
    static_cast<void>(registered);
}

}  // namespace

std::unique_ptr<DialogBackend> MakeDialogBackend(TemplateDialog& dialog, TemplateDialog* owner) {
    return std::make_unique<Win32Dialog>(dialog, owner);
}

Win32Dialog::Win32Dialog(TemplateDialog& dialog, TemplateDialog* owner)
    : m_dialog(dialog), m_owner(owner), m_systemMenu([this] { return m_window; }) {}

Win32Dialog::~Win32Dialog() {
    if (m_fixedFont != nullptr) {
        DeleteObject(m_fixedFont);
    }
}

Win32Dialog& Win32Dialog::Of(const TemplateDialog& dialog) {
    return static_cast<Win32Dialog&>(dialog.Backend());
}

HWND Win32Dialog::RunningWindow() {
    for (auto running = g_running.rbegin(); running != g_running.rend(); ++running) {
        if ((*running)->m_window != nullptr) {
            return (*running)->m_window;
        }
    }
    return nullptr;
}

HWND Win32Dialog::ShownWindow() {
    for (auto running = g_running.rbegin(); running != g_running.rend(); ++running) {
        if ((*running)->m_window != nullptr && IsWindowVisible((*running)->m_window)) {
            return (*running)->m_window;
        }
    }
    return nullptr;
}

TemplateDialog* Win32Dialog::DialogOf(HWND window) {
    for (Win32Dialog* running : g_running) {
        if (window != nullptr && running->m_window == window) {
            return &running->m_dialog;
        }
    }
    return nullptr;
}

HWND Win32Dialog::Control(int id) const {
    return m_window != nullptr && id != kIdStatic ? GetDlgItem(m_window, id) : nullptr;
}

int Win32Dialog::RunModal() {
    RegisterCommonControls();
    HWND owner = m_owner != nullptr ? Of(*m_owner).Window() : nullptr;
    if (owner == nullptr) {
        owner = RunningWindow();
    }
    const DialogTemplateWriter dialogTemplate(m_dialog.Template());
    g_running.push_back(this);
    const INT_PTR result =
        DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Data(), owner,
                                &Win32Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
    g_running.erase(std::find(g_running.begin(), g_running.end(), this));
    m_window = nullptr;
    // Went with the window, its owner.
    m_toolTip = nullptr;
    m_timers.clear();
    if (m_fixedFont != nullptr) {
        DeleteObject(m_fixedFont);
        m_fixedFont = nullptr;
    }
    m_dialogFontDpi = 0;
    m_editMenuItems.clear();
    return static_cast<int>(result);
}

void Win32Dialog::EndDialog(int result) {
    if (m_window != nullptr) {
        KillAllTimers();
        ::EndDialog(m_window, result);
    }
}

bool Win32Dialog::HasDlgItem(int id) const {
    return Control(id) != nullptr;
}

std::string Win32Dialog::GetDlgItemText(int id) const {
    const HWND control = Control(id);
    if (control == nullptr) {
        return {};
    }
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const UINT copied = GetDlgItemTextA(m_window, id, text.data(), length + 1);
    text.resize(copied);
    return text;
}

void Win32Dialog::SetDlgItemText(int id, std::string_view text) {
    if (Control(id) == nullptr) {
        return;
    }
    // The system holds a single-line edit to its limit only while the user types.
    if (IsSingleLineEdit(id)) {
        text = text.substr(0, static_cast<std::size_t>(kEditTextLimit));
    }
    SetDlgItemTextA(m_window, id, std::string(text).c_str());
}

bool Win32Dialog::AppendDlgItemText(int id, std::string_view text) {
    const HWND edit = Control(id);
    if (edit == nullptr || !IsOfKind(id, ControlKind::Edit) || IsSingleLineEdit(id) ||
        !IsSingleByteCodePage()) {
        return false;
    }
    const std::wstring added = WideFromAnsi(text.substr(0, text.find('\0')));
    const auto length = static_cast<std::size_t>(GetWindowTextLengthW(edit));
    // The edit's limit holds for text added, never for text set.
    const auto limit = static_cast<std::size_t>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    if (length + added.size() > limit) {
        return false;
    }
    // Drawn once, as it ends: not at the end with the text added, then again at the start.
    SendMessageW(edit, WM_SETREDRAW, FALSE, 0);
    SendMessageW(edit, EM_SETSEL, length, length);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(added.c_str()));
    // As setting the text leaves the edit: unmodified, the caret at the start with nothing
    // selected, and scrolled to show it.
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    SendMessageW(edit, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(edit, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
    return true;
}

int Win32Dialog::ComboAddString(int id, std::string_view text) {
    const HWND combo = ControlOfKind(id, ControlKind::ComboBox);
    if (combo == nullptr) {
        return -1;
    }
    const std::string entry(text);
    const LRESULT index =
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    return index >= 0 ? static_cast<int>(index) : -1;
}

void Win32Dialog::ComboResetContent(int id) {
    if (const HWND combo = ControlOfKind(id, ControlKind::ComboBox)) {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    }
}

int Win32Dialog::ComboGetCount(int id) const {
    const HWND combo = ControlOfKind(id, ControlKind::ComboBox);
    return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) : -1;
}

std::string Win32Dialog::ComboGetLBText(int id, int index) const {
    const HWND combo = ControlOfKind(id, ControlKind::ComboBox);
    if (combo == nullptr) {
        return {};
    }
    const auto entry = static_cast<WPARAM>(index);
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, entry, 0);
    if (length < 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(combo, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

int Win32Dialog::ComboGetCurSel(int id) const {
    const HWND combo = ControlOfKind(id, ControlKind::ComboBox);
    return combo != nullptr ? static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) : -1;
}

int Win32Dialog::ComboSetCurSel(int id, int index) {
    const HWND combo = ControlOfKind(id, ControlKind::ComboBox);
    if (combo == nullptr) {
        return -1;
    }
    // The list's own change of selection sends no notification; only the user's does.
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return index;
}

void Win32Dialog::GotoDlgCtrl(int id) {
    // As the dialog manager moves the focus: an edit's text is selected.
    if (const HWND control = Control(id)) {
        SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void Win32Dialog::SetDlgItemToolTip(int id, std::function<std::string()> text) {
    const HWND control = Control(id);
    if (control == nullptr) {
        return;
    }
    if (m_toolTip == nullptr) {
        m_toolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
        if (m_toolTip == nullptr) {
            return;
        }
        // Lines apart with CR LF only break where the tooltip has a width.
        SetToolTipWidth(m_toolTip, WindowDpi(m_window));
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_toolTipTexts[id] = std::move(text);
}

void Win32Dialog::GetEditSel(int id, int& start, int& end) const {
    const HWND edit = ControlOfKind(id, ControlKind::Edit);
    if (edit == nullptr || IsSingleLineEdit(id)) {
        return;
    }
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    start = static_cast<int>(std::min(from, to));
    end = static_cast<int>(std::max(from, to));
}

void Win32Dialog::AddEditMenuItem(int id, std::string_view text, std::function<bool()> available,
                                  std::function<void()> chosen) {
    const HWND edit = ControlOfKind(id, ControlKind::Edit);
    if (edit == nullptr || IsSingleLineEdit(id)) {
        return;
    }
    std::vector<EditMenuItem>& items = m_editMenuItems[id];
    if (items.empty()) {
        SetWindowSubclass(edit, &Win32Dialog::EditMenuProc, static_cast<UINT_PTR>(id),
                          reinterpret_cast<DWORD_PTR>(this));
    }
    items.push_back({WideFromUtf8(std::string(text)), std::move(available), std::move(chosen)});
}

LRESULT CALLBACK Win32Dialog::EditMenuProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR self) {
    if (message == WM_CONTEXTMENU) {
        reinterpret_cast<Win32Dialog*>(self)->ShowEditMenu(edit, static_cast<int>(id), lParam);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(edit, &Win32Dialog::EditMenuProc, id);
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

void Win32Dialog::ShowEditMenu(HWND edit, int id, LPARAM at) {
    int start = 0;
    int end = 0;
    GetEditSel(id, start, end);
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (start != end ? 0u : MF_GRAYED), kEditMenuCopy, L"Copy");
    AppendMenuW(menu, MF_STRING | (GetWindowTextLengthW(edit) > 0 ? 0u : MF_GRAYED),
                kEditMenuSelectAll, L"Select All");
    const std::vector<EditMenuItem>& items = m_editMenuItems[id];
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (std::size_t i = 0; i < items.size(); ++i) {
        AppendMenuW(menu, MF_STRING | (items[i].available() ? 0u : MF_GRAYED),
                    kEditMenuFirstItem + i, items[i].text.c_str());
    }
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    // From the keyboard: at the edit's top left corner.
    if (point.x == -1 && point.y == -1) {
        point = {0, 0};
        ClientToScreen(edit, &point);
    }
    const auto chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0, edit, nullptr));
    DestroyMenu(menu);
    if (chosen == kEditMenuCopy) {
        SendMessageW(edit, WM_COPY, 0, 0);
    } else if (chosen == kEditMenuSelectAll) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
    } else if (chosen >= kEditMenuFirstItem && chosen - kEditMenuFirstItem < items.size()) {
        // Copied: the item may end the run, and the list with it.
        const std::function<void()> run = items[chosen - kEditMenuFirstItem].chosen;
        run();
    }
}

void Win32Dialog::SetTimer(unsigned nIDEvent, unsigned elapseMs) {
    if (m_window != nullptr) {
        ::SetTimer(m_window, nIDEvent, elapseMs, nullptr);
        m_timers.insert(nIDEvent);
    }
}

void Win32Dialog::KillTimer(unsigned nIDEvent) {
    if (m_window != nullptr) {
        ::KillTimer(m_window, nIDEvent);
    }
    m_timers.erase(nIDEvent);
}

void Win32Dialog::PostCall(std::function<void()> call) {
    if (m_window != nullptr && PostMessageW(m_window, kWmRunPostedCall, 0, 0)) {
        m_postedCalls.push_back(std::move(call));
    }
}

void Win32Dialog::RunPostedCall() {
    if (m_postedCalls.empty()) {
        return;
    }
    const std::function<void()> call = std::move(m_postedCalls.front());
    m_postedCalls.pop_front();
    call();
}

void Win32Dialog::SetIcon(const WindowIcon& icon, bool bigIcon) {
    if (m_window != nullptr) {
        SendMessageW(m_window, WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(LoadWin32Icon(icon, bigIcon, WindowDpi(m_window))));
    }
}

bool Win32Dialog::IsIconic() const {
    return m_window != nullptr && ::IsIconic(m_window) != FALSE;
}

PixelRect Win32Dialog::GetClientRect() const {
    RECT rect{};
    if (m_window != nullptr) {
        ::GetClientRect(m_window, &rect);
    }
    return {0, 0, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Dialog::DefaultSysCommand(unsigned nID, long lParam) {
    if (m_window != nullptr) {
        DefWindowProcW(m_window, WM_SYSCOMMAND, nID, lParam);
    }
}

void Win32Dialog::DefaultPaint() {
    // Validates the window; the dialog's background is erased on the way.
    if (m_window != nullptr) {
        DefWindowProcW(m_window, WM_PAINT, 0, 0);
    }
}

INT_PTR CALLBACK Win32Dialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<Win32Dialog*>(lParam)->m_window = window;
    }
    auto* self = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR Win32Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialogMessage();
        case WM_COMMAND:
            OnCommandMessage(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_TIMER:
            OnTimerMessage(static_cast<unsigned>(wParam));
            return TRUE;
        case WM_CHAR:
            OnCharMessage(wParam, lParam);
            return FALSE;  // the default handling follows
        case WM_SYSCOMMAND:
            m_dialog.OnSysCommand(static_cast<unsigned>(wParam), static_cast<long>(lParam));
            return TRUE;
        case WM_PAINT:
            m_dialog.OnPaint();
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChangedMessage(HIWORD(wParam));
            return FALSE;  // the dialog manager rescales the window and its controls
        case WM_QUERYDRAGICON:
            return OnQueryDragIconMessage();
        case WM_NOTIFY:
            OnNotifyMessage(*reinterpret_cast<NMHDR*>(lParam));
            return FALSE;
        case kWmRunPostedCall:
            RunPostedCall();
            return TRUE;
        case WM_DESTROY:
            KillAllTimers();
            m_postedCalls.clear();
            return FALSE;
        default:
            return FALSE;
    }
}

INT_PTR Win32Dialog::OnInitDialogMessage() {
    PrepareControls();
    SetIcons();
    m_dialog.InitDialog();
    // The focus is set.
    return FALSE;
}

void Win32Dialog::OnCommandMessage(int id, int code) {
    if (IsOfKind(id, ControlKind::ComboBox)) {
        if (code == CBN_SELCHANGE) {
            m_dialog.OnSelChange(id);
        }
    } else if (!IsOfKind(id, ControlKind::Edit) && code == BN_CLICKED) {
        // A button, or Enter, Escape or the close box through the dialog manager.
        m_dialog.OnCommand(id);
    }
}

void Win32Dialog::OnTimerMessage(unsigned nIDEvent) {
    // A tick of a timer killed meanwhile, or one that came inside a box its own tick opened.
    if (m_timers.count(nIDEvent) == 0 || m_ticking.count(nIDEvent) != 0) {
        return;
    }
    m_ticking.insert(nIDEvent);
    m_dialog.OnTimer(nIDEvent);
    m_ticking.erase(nIDEvent);
}

void Win32Dialog::OnCharMessage(WPARAM wParam, LPARAM lParam) {
    m_dialog.OnChar(AnsiCharCode(wParam), LOWORD(lParam), HIWORD(lParam));
}

INT_PTR Win32Dialog::OnQueryDragIconMessage() {
    return reinterpret_cast<INT_PTR>(
        LoadWin32Icon(m_dialog.OnQueryDragIcon(), true, WindowDpi(m_window)));
}

void Win32Dialog::OnNotifyMessage(NMHDR& header) {
    if (header.code != TTN_GETDISPINFOW || header.hwndFrom != m_toolTip) {
        return;
    }
    auto& request = reinterpret_cast<NMTTDISPINFOW&>(header);
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header.idFrom));
    const auto found = m_toolTipTexts.find(id);
    // Kept until the next request, as the tooltip reads it after this returns.
    m_toolTipShown = found != m_toolTipTexts.end() ? ToolTipText(found->second()) : L"";
    request.lpszText = m_toolTipShown.data();
}

void Win32Dialog::PrepareControls() {
    for (const ControlTemplate& control : m_dialog.Template().controls) {
        const HWND window = Control(control.id);
        if (window == nullptr) {
            continue;
        }
        if (IsSingleLineEditControl(control)) {
            SendMessageW(window, EM_LIMITTEXT, kEditTextLimit, 0);
        } else if (IsMultiLineEditControl(control)) {
            KeepOwnFontOnDpiChange(window);
        }
    }
    const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(m_window, WM_GETFONT, 0, 0));
    if (dialogFont != nullptr && GetObjectW(dialogFont, sizeof(m_dialogFont), &m_dialogFont) != 0) {
        m_dialogFontDpi = WindowDpi(m_window);
        SetFixedWidthFont(m_dialogFontDpi, false);
    }
}

void Win32Dialog::OnDpiChangedMessage(UINT dpi) {
    // What the window made itself, at the new monitor's scale.
    if (m_dialogFontDpi != 0) {
        SetFixedWidthFont(dpi, true);
    }
    if (m_toolTip != nullptr) {
        SetToolTipWidth(m_toolTip, dpi);
    }
    SetIcons();
}

void Win32Dialog::SetIcons() {
    for (const bool bigIcon : {true, false}) {
        if (const WindowIcon icon = m_dialog.GetIcon(bigIcon); !icon.IsNull()) {
            SetIcon(icon, bigIcon);
        }
    }
}

void Win32Dialog::SetFixedWidthFont(UINT dpi, bool redraw) {
    const HFONT font = MakeFixedWidthFont(m_dialogFont, m_dialogFontDpi, dpi);
    for (const ControlTemplate& control : m_dialog.Template().controls) {
        const HWND window = Control(control.id);
        if (window != nullptr && IsMultiLineEditControl(control)) {
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
        }
    }
    if (m_fixedFont != nullptr) {
        DeleteObject(m_fixedFont);
    }
    m_fixedFont = font;
}

HWND Win32Dialog::ControlOfKind(int id, ControlKind kind) const {
    return IsOfKind(id, kind) ? Control(id) : nullptr;
}

bool Win32Dialog::IsSingleLineEdit(int id) const {
    const auto& controls = m_dialog.Template().controls;
    return std::any_of(controls.begin(), controls.end(), [id](const ControlTemplate& c) {
        return c.id == id && IsSingleLineEditControl(c);
    });
}

bool Win32Dialog::IsOfKind(int id, ControlKind kind) const {
    const auto& controls = m_dialog.Template().controls;
    return std::any_of(controls.begin(), controls.end(), [id, kind](const ControlTemplate& c) {
        return c.id == id && c.kind == kind;
    });
}

void Win32Dialog::KillAllTimers() {
    for (const unsigned nIDEvent : m_timers) {
        if (m_window != nullptr) {
            ::KillTimer(m_window, nIDEvent);
        }
    }
    m_timers.clear();
}
