#include "ui/win32/Win32Icon.h"

#include "ui/win32/Win32Dpi.h"

HICON LoadWin32Icon(const WindowIcon& icon, bool bigIcon, UINT dpi) {
    if (icon.IsNull()) {
        return nullptr;
    }
    const int cx = SystemMetricForDpi(bigIcon ? SM_CXICON : SM_CXSMICON, dpi);
    const int cy = SystemMetricForDpi(bigIcon ? SM_CYICON : SM_CYSMICON, dpi);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(icon.ResourceId()), IMAGE_ICON, cx, cy,
                                         LR_SHARED));
}
