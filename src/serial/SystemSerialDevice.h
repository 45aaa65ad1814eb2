#pragma once

#include "serial/SerialDevice.h"

#include <memory>

// The serial platform of the system the program was built for.
std::unique_ptr<SerialDevice> MakeSystemSerialDevice();
