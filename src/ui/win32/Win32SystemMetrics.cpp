#include "ui/SystemMetrics.h"
#include "ui/win32/Win32Dialog.h"
#include "ui/win32/Win32Dpi.h"

int GetSystemMetric(SystemMetric metric) {
    // For the monitor of the window in front, the one a window measures for as it paints.
    const UINT dpi = WindowDpi(Win32Dialog::ShownWindow());
    switch (metric) {
        case SystemMetric::kIconWidth:
            return SystemMetricForDpi(SM_CXICON, dpi);
        case SystemMetric::kIconHeight:
            return SystemMetricForDpi(SM_CYICON, dpi);
    }
    return 0;
}
