#include "serial/PosixSerialDevice.h"
#include "serial/SystemSerialDevice.h"

std::unique_ptr<SerialDevice> MakeSystemSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}
