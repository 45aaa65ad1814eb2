#pragma once

// The Windows API for the window layer's Win32 code; include this instead of <windows.h>.
// The API maps GetDlgItemText and SetDlgItemText to their "A" or "W" forms by macro, which
// would rename the window layer's members of the same names in every file that sees it.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef GetDlgItemText
#undef SetDlgItemText
