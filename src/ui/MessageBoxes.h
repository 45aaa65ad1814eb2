#pragma once

#include <string_view>

#include <QString>

// The application's name, the caption of its message boxes: the program file's name without
// its extension.
QString ApplicationName();

// The message box of the program's own messages: the text (UTF-8), an OK button, the warning
// icon and the application's name as caption, over the window that is running at the time.
// Returns when the user has closed it, with kIdOk.
int ShowAppMessageBox(std::string_view text);

// The serial channel's error box: the text (UTF-8), an OK button, the information icon and
// the caption "Error", owned by no window. Returns when the user has closed it, with kIdOk.
int ShowErrorBox(std::string_view text);
