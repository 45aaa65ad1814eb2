#include "ui/SystemMetrics.h"

#include <QApplication>
#include <QStyle>

int GetSystemMetric(SystemMetric metric) {
    switch (metric) {
        case SystemMetric::kIconWidth:
        case SystemMetric::kIconHeight:
            return QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    }
    return 0;
}
