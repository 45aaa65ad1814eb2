#include "codec/ModbusCrc16.h"

namespace {
constexpr std::uint16_t kCrcInitial = 0xFFFF;
constexpr std::uint16_t kCrcPolynomial = 0xA001;
}  // namespace

std::uint16_t ModbusCrc16(const std::uint8_t* data, std::uint32_t count) {
    std::uint16_t crc = kCrcInitial;
    for (std::uint32_t i = 0; i < count; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            if (crc & 1u) {
                crc = static_cast<std::uint16_t>((crc >> 1) ^ kCrcPolynomial);
            } else {
                crc = static_cast<std::uint16_t>(crc >> 1);
            }
        }
    }
    return crc;
}
