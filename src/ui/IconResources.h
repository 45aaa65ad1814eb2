#pragma once

#include <QIcon>

// An icon resource with both its images (32 x 32 and 16 x 16); a null icon when there is no
// icon with that identifier.
QIcon LoadIconResource(int id);
