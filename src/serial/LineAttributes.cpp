#include "serial/LineAttributes.h"

#include <algorithm>
#include <asm/termbits.h>
#include <cerrno>
#include <sys/ioctl.h>

namespace {

int RetryingIoctl(int fd, unsigned long request, termios2* attributes) {
    int result = 0;
    do {
        result = ::ioctl(fd, request, attributes);
    } while (result == -1 && errno == EINTR);
    return result == -1 ? errno : 0;
}

}  // namespace

int SetLineAttributes(int fd, const LineAttributes& attributes) {
    termios2 kernel{};
    kernel.c_iflag = attributes.inputFlags;
    kernel.c_oflag = attributes.outputFlags;
    kernel.c_cflag = attributes.controlFlags;
    kernel.c_lflag = attributes.localFlags;
    kernel.c_line = attributes.lineDiscipline;
    std::copy_n(attributes.controlCharacters.begin(),
                std::min(attributes.controlCharacters.size(), sizeof(kernel.c_cc)), kernel.c_cc);

    // No separate input speed: it follows the output speed.
    kernel.c_cflag &= ~(CBAUD << IBSHIFT);
    if (attributes.customBaudRate != 0) {
        kernel.c_cflag &= ~CBAUD;
        kernel.c_cflag |= BOTHER;
        kernel.c_ospeed = attributes.customBaudRate;
        kernel.c_ispeed = attributes.customBaudRate;
    }
    return RetryingIoctl(fd, TCSETS2, &kernel);
}

int GetLineBaudRate(int fd, std::uint32_t& baudRate) {
    termios2 kernel{};
    if (const int error = RetryingIoctl(fd, TCGETS2, &kernel)) {
        return error;
    }
    baudRate = kernel.c_ospeed;
    return 0;
}
