#include "ui/WindowIcon.h"

#include "res/AppIcon.h"

WindowIcon WindowIcon::Load(int resourceId) {
    return FindIconResource(resourceId) != nullptr ? WindowIcon(resourceId) : WindowIcon();
}
