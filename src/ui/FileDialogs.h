#pragma once

#include <optional>
#include <string>
#include <string_view>

class TemplateDialog;

// The system's own file dialogs, run modally over a window of the program, whose timers go on
// ticking meanwhile. Each backend provides these functions.

// Asks for a file that the program is to add to at its end: the system's save-file dialog,
// captioned `title` (UTF-8), in the working directory, with `proposedName` as the file's name.
// A file that exists is taken without asking whether to replace it, as nothing is replaced.
// Returns the path chosen as the program names files (UTF-8 on Windows, the system's bytes
// elsewhere), or nothing when the user cancelled.
std::optional<std::string> AskFileToAppendTo(TemplateDialog& owner, std::string_view title,
                                             std::string_view proposedName);
