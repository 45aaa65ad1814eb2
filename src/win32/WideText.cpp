#include "win32/WideText.h"

#include <windows.h>

namespace {

std::wstring WideFrom(UINT codePage, DWORD flags, std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

std::string NarrowFrom(UINT codePage, DWORD flags, std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    return WideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, text);
}

std::string Utf8FromWide(std::wstring_view text) {
    return NarrowFrom(CP_UTF8, WC_ERR_INVALID_CHARS, text);
}

std::wstring WideFromAnsi(std::string_view text) {
    return WideFrom(CP_ACP, 0, text);
}

std::string AnsiFromWide(std::wstring_view text) {
    return NarrowFrom(CP_ACP, 0, text);
}
