#include "ui/IconResources.h"

#include "res/AppIcon.h"

#include <QPixmap>

QIcon LoadIconResource(int id) {
    const IconResource* resource = FindIconResource(id);
    if (resource == nullptr) {
        return {};
    }
    QIcon icon;
    icon.addPixmap(QPixmap(resource->large));
    icon.addPixmap(QPixmap(resource->small));
    return icon;
}
