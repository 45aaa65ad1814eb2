#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr int kPortNumberMin = 1;
constexpr int kPortNumberMax = 255;

constexpr char kNotAByteMessage[] = "Please enter an integer between 0 and 255.";
constexpr char kRangeMessageFormat[] = "Please enter an integer between %1 and %2.";

// The port number read from its field and checked, as OK and "Start" do it.
struct PortNumberCheck {
    // The number read, 0 to 255; kept even when it then fails the range check.
    std::optional<std::uint8_t> number;
    // Why the text was refused; empty when it is accepted.
    std::string message;
};

// Reads the field's whole text, as Start does, so that a number that passes is the port that
// opens: blanks (spaces, tabs) before the number; a "+" but no "-"; decimal digits; only blanks
// after them. 0 counts only when the first character after the leading blanks is "0". A text not of
// this form, or a number above 255, gives kNotAByteMessage. A number outside 1 to 255 gives the
// range message.
PortNumberCheck CheckPortNumber(std::string_view fieldText);

// kRangeMessageFormat with the bounds put in.
std::string RangeMessage(int min, int max);

// The port the terminal window is opened on: the text read as atoi reads it (white space,
// a sign, the digits up to the first other character, no digits giving 0), low 8 bits. Digits
// beyond the range of int are taken modulo 256 rather than overflowing.
std::uint8_t PortNumberFromText(std::string_view fieldText);
