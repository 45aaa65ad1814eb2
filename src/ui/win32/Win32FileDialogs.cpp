#include "ui/FileDialogs.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/WindowsApi.h"
#include "win32/WideText.h"

#include <commdlg.h>

namespace {

// The longest path the wide file calls take.
constexpr std::size_t kMaxPathLength = 32767;
// The file types the dialog lists, as pairs of a name and a pattern: the program appends only
// to captures. A name typed without an extension gets the first one's.
constexpr wchar_t kFileTypes[] = L"Capture files (*.bin)\0*.bin\0All files (*.*)\0*.*\0";
constexpr wchar_t kDefaultExtension[] = L"bin";

std::wstring WorkingFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        // Too small a buffer gives the length needed, terminator included.
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

}  // namespace

std::optional<std::string> AskFileToAppendTo(TemplateDialog& owner, std::string_view title,
                                             std::string_view proposedName) {
    const std::wstring caption = WideFromUtf8(title);
    const std::wstring folder = WorkingFolder();
    std::wstring file = WideFromUtf8(proposedName);
    file.resize(kMaxPathLength + 1, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Win32Dialog::Of(owner).Window();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrFilter = kFileTypes;
    dialog.lpstrDefExt = kDefaultExtension;
    // No prompt to overwrite: nothing is replaced. The working directory stays, as the
    // parameters file lives there.
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&dialog)) {
        return std::nullopt;
    }
    file.resize(file.find(L'\0'));
    return Utf8FromWide(file);
}
