#include "res/PortSelectTemplate.h"

#include "res/DialogIds.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::Edit,
     .id = kIdPortNumberEdit,
     .text = "",
     .rect = {7, 7, 50, 14},
     .style = kControlBorder | kControlTabStop | kEditNumber},
    {.kind = ControlKind::PushButton,
     .id = kIdStartButton,
     .text = "Start",
     .rect = {64, 7, 50, 14},
     .style = kControlTabStop},
    {.kind = ControlKind::DefPushButton,
     .id = kIdOk,
     .text = "OK",
     .rect = {7, 24, 50, 14},
     .style = kControlTabStop},
    {.kind = ControlKind::PushButton,
     .id = kIdCancel,
     .text = "Cancel",
     .rect = {64, 23, 50, 14},
     .style = kControlTabStop},
};

}  // namespace

constexpr DialogTemplate kPortSelectTemplate{
    .id = kPortSelectTemplateId,
    .caption = "Quenlark",
    .cx = 121,
    .cy = 45,
    .fontName = "MS Sans Serif",
    .pointSize = 8,
    .style =
        kWindowVisible | kWindowCaption | kWindowSystemMenu | kWindowModalFrame | kWindowAppWindow,
    .controls = kControls,
};
