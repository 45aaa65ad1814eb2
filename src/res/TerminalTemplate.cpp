#include "res/TerminalTemplate.h"

#include "res/DialogIds.h"

namespace {

constexpr unsigned kButton = kControlTabStop;
constexpr unsigned kLineField = kControlBorder | kControlTabStop | kEditAutoHScroll;
constexpr unsigned kSelector = kControlTabStop | kComboDropDown;
constexpr unsigned kLog = kControlBorder | kControlTabStop | kControlVScroll | kControlHScroll |
                          kEditMultiline | kEditReadOnly | kEditWantReturn;

constexpr ControlTemplate Button(int id, const char* text, DialogRect rect) {
    return {
        .kind = ControlKind::PushButton, .id = id, .text = text, .rect = rect, .style = kButton};
}

constexpr ControlTemplate LineField(int id, DialogRect rect) {
    return {.kind = ControlKind::Edit, .id = id, .text = "", .rect = rect, .style = kLineField};
}

// The list height is part of the rectangle: 43 units from the top of the selection field.
constexpr ControlTemplate Selector(int id, int x, int y) {
    return {.kind = ControlKind::ComboBox,
            .id = id,
            .text = "",
            .rect = {x, y, 37, 43},
            .style = kSelector,
            .entries = kLineFormatEntries};
}

constexpr ControlTemplate kControls[] = {
    {.kind = ControlKind::DefPushButton,
     .id = kIdOk,
     .text = "OK",
     .rect = {195, 298, 28, 14},
     .style = kButton},
    Button(kIdCancel, "Cancel", {228, 298, 28, 14}),
    Button(kIdClearButton, "Clear", {98, 298, 28, 14}),
    Button(kIdSendButton1, "Send 1", {280, 8, 28, 14}),
    {.kind = ControlKind::Edit,
     .id = kIdLogView,
     .text = "",
     .rect = {7, 83, 301, 209},
     .style = kLog},
    LineField(kIdSettingsEdit, {7, 300, 66, 12}),
    Button(kIdSetButton, "Set", {76, 300, 16, 12}),
    Button(kIdSendButton2, "Send 2", {280, 23, 28, 14}),
    Button(kIdSendButton3, "Send 3", {280, 38, 28, 14}),
    LineField(kIdLineEdit1, {7, 8, 215, 12}),
    LineField(kIdLineEdit2, {7, 23, 215, 12}),
    LineField(kIdLineEdit3, {7, 38, 215, 12}),
    Selector(kIdLineFormat1, 223, 8),
    Selector(kIdLineFormat2, 223, 23),
    Selector(kIdLineFormat3, 223, 38),
    Button(kIdSendButton4, "Send 4", {280, 53, 28, 14}),
    LineField(kIdLineEdit4, {7, 53, 215, 12}),
    Selector(kIdLineFormat4, 223, 53),
    Button(kIdSendButton5, "Send 5", {280, 67, 28, 14}),
    LineField(kIdLineEdit5, {7, 67, 215, 12}),
    Selector(kIdLineFormat5, 223, 67),
    Selector(kIdLogFormat, 137, 300),
    Button(kIdMbButton1, "Mb", {262, 8, 15, 14}),
    Button(kIdMbButton2, "Mb", {262, 23, 15, 14}),
    Button(kIdMbButton3, "Mb", {262, 38, 15, 14}),
    Button(kIdMbButton4, "Mb", {262, 53, 15, 14}),
    Button(kIdMbButton5, "Mb", {262, 67, 15, 14}),
};

}  // namespace

constexpr DialogTemplate kTerminalTemplate{
    .id = kTerminalTemplateId,
    .caption = "Viewer",
    .cx = 315,
    .cy = 319,
    .fontName = "MS Sans Serif",
    .pointSize = 8,
    .style = kWindowCaption | kWindowSystemMenu | kWindowModalFrame,
    .controls = kControls,
};
