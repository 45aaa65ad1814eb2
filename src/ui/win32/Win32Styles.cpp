#include "ui/win32/Win32Styles.h"

namespace {

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

struct StyleBit {
    unsigned templateStyle;
    DWORD style;
};

constexpr StyleBit kDialogBits[] = {
    {kWindowVisible, WS_VISIBLE},
    {kWindowCaption, WS_CAPTION},
    {kWindowSystemMenu, WS_SYSMENU},
    {kWindowModalFrame, DS_MODALFRAME},
};

constexpr StyleBit kControlBits[] = {
    {kControlTabStop, WS_TABSTOP}, {kControlGroup, WS_GROUP},     {kControlBorder, WS_BORDER},
    {kControlVScroll, WS_VSCROLL}, {kControlHScroll, WS_HSCROLL},
};

constexpr StyleBit kEditBits[] = {
    {kEditNumber, ES_NUMBER},         {kEditAutoHScroll, ES_AUTOHSCROLL},
    {kEditMultiline, ES_MULTILINE},   {kEditReadOnly, ES_READONLY},
    {kEditWantReturn, ES_WANTRETURN},
};

template <std::size_t N>
DWORD StylesOf(unsigned templateStyle, const StyleBit (&bits)[N]) {
    DWORD style = 0;
    for (const StyleBit& bit : bits) {
        if ((templateStyle & bit.templateStyle) != 0) {
            style |= bit.style;
        }
    }
    return style;
}

DWORD KindStyles(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::PushButton:
            return BS_PUSHBUTTON;
        case ControlKind::DefPushButton:
            return BS_DEFPUSHBUTTON;
        case ControlKind::Edit:
            return ES_LEFT | StylesOf(control.style, kEditBits);
        case ControlKind::ComboBox:
            return (control.style & kComboDropDown) != 0 ? CBS_DROPDOWN : CBS_DROPDOWNLIST;
        case ControlKind::Static:
            return SS_LEFT | ((control.style & kStaticNoPrefix) != 0 ? SS_NOPREFIX : 0);
        case ControlKind::Icon:
            return SS_ICON;
    }
    return 0;
}

}  // namespace

Win32Styles DialogStyles(const DialogTemplate& dialogTemplate) {
    const DWORD exStyle = (dialogTemplate.style & kWindowAppWindow) != 0 ? WS_EX_APPWINDOW : 0;
    return {WS_POPUP | DS_SETFONT | StylesOf(dialogTemplate.style, kDialogBits), exStyle};
}

Win32Styles ControlStyles(const ControlTemplate& control) {
    return {WS_CHILD | WS_VISIBLE | StylesOf(control.style, kControlBits) | KindStyles(control), 0};
}

WORD ControlClassOrdinal(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            return kButtonClass;
        case ControlKind::Edit:
            return kEditClass;
        case ControlKind::ComboBox:
            return kComboBoxClass;
        case ControlKind::Static:
        case ControlKind::Icon:
            return kStaticClass;
    }
    return kStaticClass;
}
