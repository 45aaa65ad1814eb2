#include "ui/PaintContext.h"
#include "ui/TemplateDialog.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/Win32Dpi.h"
#include "ui/win32/Win32Icon.h"
#include "ui/win32/WindowsApi.h"

// The system's paint context of the window (BeginPaint to EndPaint).
class PaintContext::Impl {
public:
    explicit Impl(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~Impl() { EndPaint(m_window, &m_paint); }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

PaintContext::PaintContext(TemplateDialog& window)
    : m_impl(std::make_unique<Impl>(Win32Dialog::Of(window).Window())) {}

PaintContext::~PaintContext() = default;

void PaintContext::EraseIconBackground() {
    SendMessageW(m_impl->m_window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(m_impl->m_dc), 0);
}

void PaintContext::DrawIcon(int x, int y, const WindowIcon& icon) {
    // At the icon size of the window's monitor, which may differ from the system's.
    if (const HICON handle = LoadWin32Icon(icon, true, WindowDpi(m_impl->m_window))) {
        DrawIconEx(m_impl->m_dc, x, y, handle, 0, 0, 0, nullptr, DI_NORMAL);
    }
}
