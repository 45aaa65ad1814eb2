#pragma once

#include "ui/win32/WindowsApi.h"

class TemplateDialog;

// The system's windows behind a TemplateDialog, for tests that click, type and look at them
// as a user does. Null outside the dialog's modal run.

HWND Win32Window(const TemplateDialog& dialog);
HWND Win32Control(const TemplateDialog& dialog, int id);
// The dialog whose window this is, or null (a message box, or no window of a dialog).
TemplateDialog* DialogOfWin32Window(HWND window);
// The innermost of the dialogs running modally whose window exists, or null.
TemplateDialog* InnermostRunningDialog();
// The innermost of the dialogs running modally whose window is shown, or null.
TemplateDialog* InnermostShownDialog();
