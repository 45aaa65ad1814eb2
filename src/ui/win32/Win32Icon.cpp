#include "ui/win32/Win32Icon.h"

HICON LoadWin32Icon(const WindowIcon& icon, bool bigIcon) {
    if (icon.IsNull()) {
        return nullptr;
    }
    const int cx = GetSystemMetrics(bigIcon ? SM_CXICON : SM_CXSMICON);
    const int cy = GetSystemMetrics(bigIcon ? SM_CYICON : SM_CYSMICON);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(icon.ResourceId()), IMAGE_ICON, cx, cy,
                                         LR_SHARED));
}
