#include "res/AppIcon.h"

namespace {

#include "res/quenlark-16.xpm"
#include "res/quenlark-32.xpm"

constexpr IconResource kAppIcon{quenlark_32, quenlark_16};

}  // namespace

const IconResource* FindIconResource(int id) {
    return id == kAppIconId ? &kAppIcon : nullptr;
}
