#pragma once

#include <string>

// The program holds paths in UTF-8; the system's wide calls take UTF-16.

// Empty for an empty path and for one that is no valid UTF-8.
std::wstring WidePath(const std::string& path);

// Empty for an empty path and for one that is no valid UTF-16.
std::string Utf8Path(const std::wstring& path);
