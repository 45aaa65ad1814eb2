#pragma once

#include <cstdint>

// The time-out record of a serial device, in milliseconds, field for field as the platform
// record it stands for. A read interval of kReadIntervalReturnAtOnce with both read totals 0
// makes a read return at once with what has arrived; a write of n bytes waits at most
// WriteTotalTimeoutConstant + n * WriteTotalTimeoutMultiplier.
struct SerialTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

constexpr std::uint32_t kReadIntervalReturnAtOnce = 0xFFFFFFFF;
