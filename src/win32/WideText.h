#pragma once

#include <string>
#include <string_view>

// The wide (UTF-16) text of the Windows API, from and to the program's two kinds of text:
// its fixed strings, the system's messages and its paths, in UTF-8, and its 8-bit text, one
// byte of the user's ANSI code page a character.

// Empty for text that is no valid UTF-8 or UTF-16: a path must never turn into another.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

std::wstring WideFromAnsi(std::string_view text);
// A character the code page has no byte for becomes '?'.
std::string AnsiFromWide(std::wstring_view text);
