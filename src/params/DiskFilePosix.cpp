#include "params/DiskFile.h"

#include <sys/stat.h>

bool IsDiskFile(std::intptr_t file) {
    struct stat status {};
    return fstat(static_cast<int>(file), &status) == 0 && S_ISREG(status.st_mode);
}
