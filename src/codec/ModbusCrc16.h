#pragma once

#include <cstdint>

// CRC-16/MODBUS (reflected polynomial 0xA001, initial value 0xFFFF, no final XOR), computed
// bit by bit. A frame carries it low byte first.
std::uint16_t ModbusCrc16(const std::uint8_t* data, std::uint32_t count);
