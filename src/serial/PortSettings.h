#pragma once

#include <cstdint>
#include <string_view>

// The four line parameters recognised in a port settings string such as "9600, N, 8, 1".
struct PortSettings {
    std::int32_t baudRate = 0;  // as typed; a negative number stays negative
    std::uint8_t byteSize = 8;
    std::uint8_t parity = 0;    // kNoParity ... kSpaceParity
    std::uint8_t stopBits = 0;  // kOneStopBit, kOne5StopBits or kTwoStopBits
};

// Recognises the parameters by searching the text, not by position: the leading number is
// the baud rate; "4,".."7," give the data bits; the first of the upper-case letters E, M, O,
// S found gives the parity; "1.5" or "2" after the first comma give the stop bits. An
// occurrence at the very first character does not count. Whatever the text does not name
// falls back to 8 data bits, no parity and one stop bit. The text ends at a null character.
PortSettings ParsePortSettings(std::string_view text);
