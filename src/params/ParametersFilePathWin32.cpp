#include "params/ParametersFilePath.h"
#include "win32/WideText.h"

#include <windows.h>

namespace {

constexpr char kPathSeparator = '\\';

}  // namespace

std::string ParametersFilePath() {
    // Grown until the directory fits: a deep working folder must not lose its file.
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (length == 0) {
            return {};
        }
        // Too small a buffer gives the length needed, terminator included.
        if (length < folder.size()) {
            folder.resize(length);
            break;
        }
        folder.resize(length);
    }
    std::string path = Utf8FromWide(folder);
    if (path.empty()) {
        return {};
    }
    if (path.back() != kPathSeparator) {
        path += kPathSeparator;
    }
    path += kParametersFileName;
    return path;
}
