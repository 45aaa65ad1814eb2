#pragma once

#include "codec/LineFormat.h"

#include <string>
#include <string_view>

// Conversions between a send line's text and its bytes. Text is 8-bit: one char is one byte.
// Every text converts to some bytes, however malformed; nothing here fails or reports.

// Empties `bytes`, then appends the bytes that `text` stands for in `format`.
// Returns the number of bytes in `bytes` afterwards.
int TextToBytes(ByteArray& bytes, int format, std::string_view text);

// Replaces `text` with the canonical rendering of `bytes` in `format`.
void BytesToText(const ByteArray& bytes, int format, std::string& text);

// Reads one Hex field: `text` runs from the field's first character to the end of the whole
// line, so the low digit may be the character right after the high digit whatever it is,
// a comma or the next field's first character included.
void HexPairToByte(std::string_view text, std::uint8_t& value);
