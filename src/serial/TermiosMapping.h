#pragma once

#include "serial/SerialLineState.h"

#include <cstdint>
#include <termios.h>

// A line-state record as terminal attributes.
struct TermiosLine {
    // Raw mode (no echo, no line editing, no output processing, bytes with parity errors
    // passed through unchanged), the receiver on, modem status lines ignored, reads
    // completing with one byte, and the record's frame and flow control.
    termios attributes{};
    std::uint32_t baudRate = 0;
    // True when baudRate has no standard speed constant: `attributes` then keep the line's
    // current speed, and the rate goes to the line through the kernel's arbitrary-rate
    // interface together with them.
    bool customBaudRate = false;
};

// Puts `state` on top of `current`, the line's attributes now. Returns 0, or EINVAL when the
// line cannot take a value: a baud rate of 0 or above 2147483647, data bits other than 5 to
// 8, an unknown parity or stop-bit value, one and a half stop bits with more than 5 data
// bits, two stop bits with 5 data bits (the line would send one and a half), or XON/XOFF
// flow control with the same XON and XOFF character.
int LineStateToTermios(const SerialLineState& state, const termios& current, TermiosLine& line);

// Copies into `state` what the line itself holds: the baud rate (when nonzero), data bits,
// parity, stop bits, CTS/RTS and XON/XOFF flow control and the XON/XOFF characters. Every
// other field keeps its value, so a record read, changed and written back loses nothing.
void MergeTermiosIntoLineState(const termios& attributes, std::uint32_t baudRate,
                               SerialLineState& state);

// The standard speed constant for `baudRate`, or B0 when there is none.
speed_t StandardSpeedFor(std::uint32_t baudRate);
