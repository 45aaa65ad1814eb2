#pragma once

#include <string>
#include <string_view>

// A name for the new content of the file `name` while it is written beside it: a dot, the
// name, a dot and six random letters or digits, different at each call.
std::string TemporaryNameFor(std::string_view name);
