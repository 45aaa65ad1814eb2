#pragma once

#include <cstdint>
#include <vector>

// A send line's bytes, and the log's; one element per byte on the serial line.
using ByteArray = std::vector<std::uint8_t>;

// The format a send line or the log is written in: the index of the entry selected in a
// format selector ("Text", "Dec", "Hex"). Any other value, -1 for a selector without a
// selection included, is no format at all.
constexpr int kLineFormatText = 0;
constexpr int kLineFormatDec = 1;
constexpr int kLineFormatHex = 2;

constexpr bool IsLineFormat(int format) {
    return format == kLineFormatText || format == kLineFormatDec || format == kLineFormatHex;
}
