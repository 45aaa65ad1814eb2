#include "app/CPortSelectDlg.h"
#include "res/AppIcon.h"
#include "res/DialogIds.h"
#include "res/VersionInfo.h"
#include "support/WindowTestDriver.h"
#include "ui/win32/Win32Controls.h"
#include "ui/win32/WindowsApi.h"
#include "win32/WideText.h"

#include <algorithm>
#include <iterator>
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

// The manifest of quenlark.exe as the system reads it when the program starts.
TEST(Resources, ManifestOfTheProgramFileAsksForCommonControls6PerMonitorDpiWindows10AsInvoker) {
    const std::wstring program = WideFromUtf8(QUENLARK_PROGRAM_FILE);
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE);
    wchar_t awareness[32] = {};
    wchar_t aware[16] = {};
    QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                         L"dpiAwareness", awareness, std::size(awareness), nullptr);
    QueryActCtxSettingsW(0, context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                         L"dpiAware", aware, std::size(aware), nullptr);
    EXPECT_EQ(Utf8FromWide(awareness), "PerMonitorV2, System");
    EXPECT_EQ(Utf8FromWide(aware), "true");

    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level{};
    EXPECT_TRUE(QueryActCtxW(0, context, nullptr, RunlevelInformationInActivationContext, &level,
                             sizeof(level), nullptr));
    EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);

    // Windows 10's identifier among the supported systems, whose entries' layout differs
    // between versions of the system.
    constexpr GUID kWindows10 = {
        0x8e0f7a12, 0xbfb3, 0x4fe8, {0xb9, 0xa5, 0x48, 0xfd, 0x50, 0xa1, 0x5a, 0x9a}};
    const auto* const windows10 = reinterpret_cast<const char*>(&kWindows10);
    alignas(8) char info[4096] = {};
    ASSERT_TRUE(QueryActCtxW(0, context, nullptr, CompatibilityInformationInActivationContext, info,
                             sizeof(info), nullptr));
    EXPECT_NE(std::search(info, std::end(info), windows10, windows10 + sizeof(GUID)),
              std::end(info));

    // The dependency, as the system resolved it; assembly 1 is the program's own.
    DWORD dependency = 2;
    ASSERT_TRUE(QueryActCtxW(0, context, &dependency,
                             AssemblyDetailedInformationInActivationContext, info, sizeof(info),
                             nullptr));
    const std::string identity =
        Utf8FromWide(reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(info)
                         ->lpAssemblyEncodedAssemblyIdentity);
    EXPECT_EQ(identity.rfind("Microsoft.Windows.Common-Controls,", 0), 0u) << identity;
    EXPECT_NE(identity.find("version=\"6."), std::string::npos) << identity;
    ReleaseActCtx(context);
}

}  // namespace
