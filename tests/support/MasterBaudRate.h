#pragma once

#include <cstdint>

// The output speed of the line behind a pseudo-terminal's master, nonstandard rates
// included; throws std::system_error on failure. Apart from PtyPort.cpp because the kernel's
// arbitrary-rate definitions and <termios.h> cannot share a file.
std::uint32_t ReadMasterBaudRate(int masterFd);
