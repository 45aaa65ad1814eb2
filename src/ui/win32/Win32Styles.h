#pragma once

#include "res/DialogTemplate.h"
#include "ui/win32/WindowsApi.h"

// A window template's styles in the Windows API's terms.

struct Win32Styles {
    DWORD style;
    DWORD exStyle;
};

// A pop-up dialog with the template's font (DS_SETFONT) and its caption, system menu, modal
// frame and taskbar button as the template asks.
Win32Styles DialogStyles(const DialogTemplate& dialogTemplate);

// A visible child control with the control's own styles.
Win32Styles ControlStyles(const ControlTemplate& control);

// The predefined window class a control is made of, as the ordinal a dialog template names it
// by: button, edit, static or combo box.
WORD ControlClassOrdinal(ControlKind kind);
