#pragma once

#include "ui/win32/WindowsApi.h"

// The display scale of each window, for a program aware of each monitor's DPI. The calls are
// those of Windows 10, looked up when first needed; on older systems the program is aware of
// the system's DPI only, which these then give.

// The DPI of the monitor the window is on; the system's for no window.
UINT WindowDpi(HWND window);
// A size of GetSystemMetrics at this DPI.
int SystemMetricForDpi(int index, UINT dpi);
// Keeps the dialog manager from giving the control the dialog font when the window moves to
// a monitor of another scale: the control's own font follows the window's DPI instead.
void KeepOwnFontOnDpiChange(HWND control);
