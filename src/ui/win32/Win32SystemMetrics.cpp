#include "ui/SystemMetrics.h"
#include "ui/win32/WindowsApi.h"

int GetSystemMetric(SystemMetric metric) {
    switch (metric) {
        case SystemMetric::kIconWidth:
            return GetSystemMetrics(SM_CXICON);
        case SystemMetric::kIconHeight:
            return GetSystemMetrics(SM_CYICON);
    }
    return 0;
}
