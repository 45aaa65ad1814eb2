#pragma once

#include "ui/WindowIcon.h"

#include <QIcon>

// The icon's images (32 x 32 and 16 x 16) as Qt draws them; a null QIcon for no icon.
QIcon ToQIcon(const WindowIcon& icon);
