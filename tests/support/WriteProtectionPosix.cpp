#include "support/WriteProtection.h"

#include <unistd.h>

bool WriteProtectionHolds() {
    return geteuid() != 0;
}
