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

// What bytes `from` to `count` - 1 add to the log view's text after the rendering of the first
// `from`: RenderReceiveLog(bytes, count, format) is RenderReceiveLog(bytes, from, format)
// followed by this. Each byte's text depends only on the byte and on its index in the log
// (Dec and Hex lines end after its 16th, 32nd... byte), never on its neighbours.
std::string RenderReceiveLogFrom(const std::uint8_t* bytes, int from, int count, int format);

// Received bytes that follow each other: the index of the first, and how many.
struct LogByteRange {
    int first = 0;
    int count = 0;
};

// The bytes whose whole text lies in characters `start` to `end` - 1 of
// RenderReceiveLog(bytes, count, format): a byte shown only in part is left out, and so is a
// Text NUL (which shows as nothing) unless it lies between two selected characters.
LogByteRange SelectedLogBytes(const std::uint8_t* bytes, int count, int format, int start, int end);
