#include "support/WriteProtection.h"

bool WriteProtectionHolds() {
    return true;
}
