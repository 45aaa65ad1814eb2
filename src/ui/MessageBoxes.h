#pragma once

#include <string>
#include <string_view>

// Message boxes wait in a nested message loop of their own, in which every window's timer
// goes on ticking; every other window of the program takes no input until the box is closed.
// Each backend provides these functions.

// The application's name, the caption of its message boxes: the program file's name without
// its extension, in UTF-8.
std::string ApplicationName();

// The message box of the program's own messages: the text (UTF-8), an OK button, the warning
// icon and the application's name as caption, over the window that is running at the time.
// Returns when the user has closed it, with kIdOk.
int ShowAppMessageBox(std::string_view text);

// Where there is no console, the box of what a console program prints when asked (its help,
// version, port list): the text (UTF-8), an OK button, the information icon and the
// application's name as caption, owned by no window. Returns when closed, with kIdOk.
int ShowAppInformationBox(std::string_view text);

// The serial channel's error box: the text (UTF-8), an OK button, the information icon and
// the caption "Error", owned by no window. Returns when the user has closed it, with kIdOk.
int ShowErrorBox(std::string_view text);
