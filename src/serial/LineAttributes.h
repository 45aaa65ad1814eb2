#pragma once

#include <array>
#include <cstdint>

// A terminal line's attributes in plain integers, the way the kernel takes them. The
// kernel's definitions of its own interface and the C library's <termios.h> cannot share a
// file, so the code that speaks to the kernel directly lives behind these two functions.
struct LineAttributes {
    std::uint32_t inputFlags = 0;
    std::uint32_t outputFlags = 0;
    std::uint32_t controlFlags = 0;  // the speed bits hold a standard speed...
    std::uint32_t localFlags = 0;
    std::uint8_t lineDiscipline = 0;
    std::array<std::uint8_t, 32> controlCharacters{};  // indexed like termios's c_cc
    std::uint32_t customBaudRate = 0;                  // ...unless this is nonzero
};

// Puts `attributes` on the line in one step, the speed with them, any positive rate
// included. What the driver cannot do it adjusts on its own, as it does for every program;
// read the line back to see. Returns 0 or the error code.
int SetLineAttributes(int fd, const LineAttributes& attributes);

// The output speed of the line on `fd` as the driver reports it, standard or not. Returns 0
// or the error code.
int GetLineBaudRate(int fd, std::uint32_t& baudRate);
