#include "win32/SystemErrorText.h"

#include "win32/WideText.h"

#include <windows.h>

std::string SystemErrorText(unsigned long code) {
    constexpr DWORD kFormatFlags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    // Wide, so that no code page stands between the system's text and the program's.
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(kFormatFlags, nullptr, code, 0,
                                        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0 || text == nullptr) {
        return {};
    }
    std::wstring_view result(text, length);
    // The system ends its texts with a line end, which a box does not need.
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r')) {
        result.remove_suffix(1);
    }
    std::string utf8 = Utf8FromWide(result);
    LocalFree(text);
    return utf8;
}
