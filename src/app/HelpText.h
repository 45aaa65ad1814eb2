#pragma once

#include <string_view>

// What --help shows after the usage line, written for the users of the system the program is
// built for: one source file per system.
extern const std::string_view kHelpText;

// Whether `argument` asks for the help in a way the system's own programs take besides -h and
// --help.
bool IsSystemHelpOption(std::string_view argument);
