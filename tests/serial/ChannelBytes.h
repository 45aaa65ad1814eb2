#pragma once

#include "serial/CComPort.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

// Bytes through a channel on a real line, for the tests of each platform's backend.

using Bytes = std::vector<std::uint8_t>;

// Each Read of the channel lasts at most about a second; this many of them guard a wait for
// bytes against a hang without any demand on the machine's speed.
inline constexpr int kReadAttempts = 20;

inline Bytes EveryByteValue() {
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

// Reads from the channel until `count` bytes have come or the attempts are used up.
inline Bytes ReadFromChannel(CComPort& channel, std::size_t count) {
    constexpr std::size_t kChunk = 2048;
    Bytes received;
    Bytes buffer(kChunk);
    for (int attempt = 0; attempt < kReadAttempts && received.size() < count; ++attempt) {
        const int wanted = static_cast<int>(std::min(kChunk, count - received.size()));
        const int got = channel.Read(buffer.data(), wanted);
        received.insert(received.end(), buffer.begin(), buffer.begin() + got);
    }
    return received;
}
