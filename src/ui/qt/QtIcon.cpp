#include "ui/qt/QtIcon.h"

#include "res/AppIcon.h"

#include <QPixmap>

QIcon ToQIcon(const WindowIcon& icon) {
    const IconResource* resource = FindIconResource(icon.ResourceId());
    if (resource == nullptr) {
        return {};
    }
    QIcon qtIcon;
    qtIcon.addPixmap(QPixmap(resource->large));
    qtIcon.addPixmap(QPixmap(resource->small));
    return qtIcon;
}
