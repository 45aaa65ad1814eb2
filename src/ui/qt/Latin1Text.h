#pragma once

#include <string>
#include <string_view>

#include <QString>

// The program's 8-bit text is Latin-1: one character is one byte in both directions.

// A character above U+00FF has no byte and becomes '?'.
std::string ToLatin1Text(const QString& text);

// The text up to its first zero byte, as a zero-terminated string would end there.
QString FromLatin1Text(std::string_view text);
