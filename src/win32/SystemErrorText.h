#pragma once

#include <string>

// The system's own text for an error code, in the user's language, taken wide and given in
// UTF-8 without its line end; empty for a code the system has no text for.
std::string SystemErrorText(unsigned long code);
