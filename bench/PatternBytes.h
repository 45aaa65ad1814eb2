#pragma once

#include "codec/LineFormat.h"

#include <cstddef>

// Bytes that cover every value and follow no simple run, so that no benchmark measures a
// lucky special case.
inline ByteArray PatternBytes(std::size_t count) {
    ByteArray bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
    }
    return bytes;
}
