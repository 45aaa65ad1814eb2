#include "serial/SystemSerialDevice.h"
#include "serial/Win32SerialDevice.h"

std::unique_ptr<SerialDevice> MakeSystemSerialDevice() {
    return std::make_unique<Win32SerialDevice>();
}
