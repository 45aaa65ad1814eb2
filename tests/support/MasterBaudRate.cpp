#include "support/MasterBaudRate.h"

#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>
#include <system_error>

std::uint32_t ReadMasterBaudRate(int masterFd) {
    termios2 attributes{};
    if (::ioctl(masterFd, TCGETS2, &attributes) == -1) {
        throw std::system_error(errno, std::generic_category(), "TCGETS2");
    }
    return attributes.c_ospeed;
}
