#include "res/AboutBoxTemplate.h"

#include "res/AppIcon.h"
#include "res/DialogIds.h"
#include "res/ProjectVersion.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::Icon,
     .id = kIdStatic,
     .text = "",
     .rect = {11, 17, 20, 20},
     .style = 0,
     .iconId = kAppIconId},
    {.kind = ControlKind::Static,
     .id = kIdStatic,
     .text = "Quenlark Version " QUENLARK_VERSION_SHORT,
     .rect = {40, 10, 119, 8},
     .style = kControlGroup | kStaticNoPrefix},
    {.kind = ControlKind::DefPushButton,
     .id = kIdOk,
     .text = "OK",
     .rect = {178, 7, 32, 14},
     .style = kControlGroup | kControlTabStop},
};

}  // namespace

constexpr DialogTemplate kAboutBoxTemplate{
    .id = kAboutBoxTemplateId,
    .caption = "About Quenlark",
    .cx = 217,
    .cy = 55,
    .fontName = "MS Sans Serif",
    .pointSize = 8,
    .style = kWindowCaption | kWindowSystemMenu | kWindowModalFrame,
    .controls = kControls,
};
