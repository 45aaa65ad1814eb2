#include "app/CPortSelectDlg.h"
#include "res/AppIcon.h"
#include "res/DialogIds.h"
#include "res/VersionInfo.h"
#include "support/WindowTestDriver.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/WindowsApi.h"
#include "win32/WideText.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A value of the program file's version record, as Windows shows it in the file's properties.
std::string VersionValue(const std::vector<char>& record, const std::string& name) {
    const std::wstring path =
        WideFromUtf8("\\StringFileInfo\\" + std::string(kVersionBlock) + "\\" + name);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), path.c_str(), &value, &length) || length == 0) {
        return "(none)";
    }
    return Utf8FromWide(static_cast<const wchar_t*>(value));
}

TEST(PortSelectIcons, WindowAndDragIconAreTheProgramsIcon) {
    ModalHangGuard guard;
    CPortSelectDlg dlg;
    OnNextModalWindow([&] {
        const HWND window = Win32Window(dlg);
        const auto icon = [window](WPARAM which) {
            return reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0));
        };
        const HMODULE program = GetModuleHandleW(nullptr);
        EXPECT_EQ(icon(ICON_BIG),
                  LoadImageW(program, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
        EXPECT_EQ(icon(ICON_SMALL), LoadImageW(program, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        EXPECT_NE(icon(ICON_BIG), nullptr);
        EXPECT_NE(SendMessageW(window, WM_QUERYDRAGICON, 0, 0), 0);
        dlg.EndDialog(kIdCancel);
    });
    dlg.DoModal();
}

TEST(Resources, VersionRecordOfTheProgramFileHoldsTheVersionAndTexts) {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    DWORD unused = 0;
    std::vector<char> record(GetFileVersionInfoSizeW(path.c_str(), &unused));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), kFileVersion[0]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), kFileVersion[1]);
    EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), kFileVersion[2]);
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), kFileVersion[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

    const std::pair<const char*, const char*> texts[] = {
        {"FileVersion", kFileVersionText},       {"ProductVersion", kProductVersionText},
        {"FileDescription", kFileDescription},   {"InternalName", kInternalName},
        {"OriginalFilename", kOriginalFilename}, {"ProductName", kProductName},
    };
    for (const auto& [name, text] : texts) {
        EXPECT_EQ(VersionValue(record, name), text) << name;
    }
}

}  // namespace
