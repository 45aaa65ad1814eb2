#include "params/DiskFile.h"

#include <windows.h>

bool IsDiskFile(std::intptr_t file) {
    // Ports, pipes and NUL open as files do; a folder does not open as a file at all.
    return GetFileType(reinterpret_cast<HANDLE>(file)) == FILE_TYPE_DISK;
}
