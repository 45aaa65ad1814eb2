#pragma once

#include <cstdint>

// Whether an open file (the system's descriptor or handle) is a file on a disk, the only kind
// the program reads or writes as its own files. A folder, a pipe or a device (a port, the null
// device) is not: it could wait forever, or do something of its own.
bool IsDiskFile(std::intptr_t file);
