#pragma once

#include "ui/WindowIcon.h"
#include "ui/win32/WindowsApi.h"

// The icon resource of the program file at the system's large or small icon size for this
// DPI: a shared icon, which nobody destroys. Null for no icon.
HICON LoadWin32Icon(const WindowIcon& icon, bool bigIcon, UINT dpi);
