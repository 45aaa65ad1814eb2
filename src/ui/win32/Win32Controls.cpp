#include "ui/win32/Win32Controls.h"

#include "ui/win32/Win32Dialog.h"

HWND Win32Window(const TemplateDialog& dialog) {
    return Win32Dialog::Of(dialog).Window();
}

HWND Win32Control(const TemplateDialog& dialog, int id) {
    return Win32Dialog::Of(dialog).Control(id);
}

TemplateDialog* DialogOfWin32Window(HWND window) {
    return Win32Dialog::DialogOf(window);
}

TemplateDialog* InnermostRunningDialog() {
    return Win32Dialog::DialogOf(Win32Dialog::RunningWindow());
}

TemplateDialog* InnermostShownDialog() {
    return Win32Dialog::DialogOf(Win32Dialog::ShownWindow());
}
