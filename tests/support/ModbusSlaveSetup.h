#pragma once

#include <cstdint>
#include <vector>

// What the Modbus slave of a ModbusSlavePeer holds and whom it answers.
struct ModbusSlaveSetup {
    // The unit it answers (1 to 247); a frame for any other unit gets no reply.
    int unitId = 1;
    // Its holding registers, from address 0. A read reaching past the last one gets the
    // exception reply "illegal data address"; every other table of the slave reads zero.
    // Values that show a swapped byte order at a glance.
    std::vector<std::uint16_t> holdingRegisters{0x0001, 0x0002, 0x0003, 0x00FF, 0x0100,
                                                0x1234, 0xABCD, 0x7FFF, 0x8000, 0xFFFF};
};
