#pragma once

#include <cstdint>
#include <string>

// Dec and Hex items per line of the log view; "\r\n" follows every 16th item.
constexpr int kLogItemsPerLine = 16;

// The log view's whole text for the first `count` received bytes, rendered in `format`:
// Text shows the bytes themselves, with a lone CR or LF each becoming "\r\n" and NUL bytes
// left out; Dec shows every byte as "%3.3d  ", Hex as "%2.2x  ", 16 items a line. Any other
// format, and a count of 0 or less, gives an empty text. One char is one byte (8-bit).
std::string RenderReceiveLog(const std::uint8_t* bytes, int count, int format);
