#include "res/DialogIds.h"
#include "ui/MessageBoxes.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/WindowsApi.h"
#include "win32/WideText.h"

#include <filesystem>

namespace {

constexpr wchar_t kErrorCaption[] = L"Error";

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::string ApplicationName() {
    return Utf8FromWide(std::filesystem::path(ProgramPath()).stem().wstring());
}

int ShowAppMessageBox(std::string_view text) {
    // Over the window running at the time, which takes no input while the box is open.
    MessageBoxW(Win32Dialog::RunningWindow(), WideFromUtf8(text).c_str(),
                WideFromUtf8(ApplicationName()).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return kIdOk;
}

int ShowAppInformationBox(std::string_view text) {
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(ApplicationName()).c_str(),
                MB_OK | MB_ICONINFORMATION);
    return kIdOk;
}

int ShowErrorBox(std::string_view text) {
    // No owner; task-modal, so that every window of the program waits for it all the same.
    MessageBoxW(nullptr, WideFromUtf8(text).c_str(), kErrorCaption,
                MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
    return kIdOk;
}
