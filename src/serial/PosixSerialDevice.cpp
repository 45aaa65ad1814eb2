#include "serial/PosixSerialDevice.h"

#include "serial/LineAttributes.h"
#include "serial/PortNumbering.h"
#include "serial/PortPath.h"
#include "serial/TermiosMapping.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

struct PosixSerialDevice::OpenPort {
    int fd = -1;
    termios attributesAtOpen{};
    std::uint32_t baudRateAtOpen = 0;
    SerialLineState lineState;
    SerialTimeouts timeouts;
};

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kDefaultWriteTimeoutPerByteMs = 10;
constexpr std::uint32_t kDefaultWriteTimeoutConstantMs = 1000;
constexpr SerialTimeouts kTimeoutsAtOpen{
    kReadIntervalReturnAtOnce, 0, 0, kDefaultWriteTimeoutPerByteMs, kDefaultWriteTimeoutConstantMs};

// Queue thresholds a fresh record reports; the line has no counterpart for them.
constexpr std::uint16_t kXonLimitAtOpen = 2048;
constexpr std::uint16_t kXoffLimitAtOpen = 512;

// A driver that reports a rate further than this from the one asked for cannot keep to it
// within what an asynchronous serial receiver tolerates.
constexpr std::uint32_t kBaudRateTolerancePercent = 2;

// A port's link leads to a device it must not open; no errno says so.
constexpr int kRefusedLinkError = -1;

template <typename Call>
auto RetryOnInterrupt(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

int GetAttributes(int fd, termios& attributes) {
    return RetryOnInterrupt([&] { return ::tcgetattr(fd, &attributes); }) == -1 ? errno : 0;
}

int ModemLineIoctl(int fd, unsigned long request, int lines) {
    return RetryOnInterrupt([&] { return ::ioctl(fd, request, &lines); }) == -1 ? errno : 0;
}

// Attributes go to the line straight through the kernel, speed and all in one step. The C
// library's tcsetattr reports a failure when the only change asked for is one the driver
// ignores (a pseudo-terminal ignores parity and data bits), so the same settings would
// succeed or fail depending on what they were changed from.
int PutOnLine(int fd, const termios& attributes, std::uint32_t customBaudRate) {
    LineAttributes line;
    line.inputFlags = attributes.c_iflag;
    line.outputFlags = attributes.c_oflag;
    line.controlFlags = attributes.c_cflag;
    line.localFlags = attributes.c_lflag;
    line.lineDiscipline = attributes.c_line;
    static_assert(sizeof(attributes.c_cc) <= sizeof(line.controlCharacters));
    std::copy(std::begin(attributes.c_cc), std::end(attributes.c_cc),
              line.controlCharacters.begin());
    line.customBaudRate = customBaudRate;
    return SetLineAttributes(fd, line);
}

// Puts back attributes and the rate read with them. Unless their speed bits already say
// that rate, it goes by number: the bits of a nonstandard rate do not carry the rate itself.
void RestoreLine(int fd, const termios& attributes, std::uint32_t baudRate) {
    const bool inSpeedBits =
        baudRate == 0 || cfgetospeed(&attributes) == StandardSpeedFor(baudRate);
    PutOnLine(fd, attributes, inSpeedBits ? 0 : baudRate);
}

bool RateTaken(std::uint32_t requested, std::uint32_t reported) {
    const std::uint64_t difference =
        requested > reported ? requested - reported : reported - requested;
    return difference * 100 <= std::uint64_t{requested} * kBaudRateTolerancePercent;
}

int ApplyLine(int fd, const TermiosLine& line) {
    if (const int error = PutOnLine(fd, line.attributes, line.customBaudRate ? line.baudRate : 0)) {
        return error;
    }
    std::uint32_t reported = 0;
    if (const int error = GetLineBaudRate(fd, reported)) {
        return error;
    }
    return RateTaken(line.baudRate, reported) ? 0 : EINVAL;
}

// The modem lines follow the record's control fields; a pseudo-terminal has none, so the
// results are not examined.
void ApplyModemLines(int fd, const SerialLineState& state) {
    const std::uint32_t dtr = DtrControl(state);
    if (dtr == kDtrControlDisable) {
        ModemLineIoctl(fd, TIOCMBIC, TIOCM_DTR);
    } else {
        ModemLineIoctl(fd, TIOCMBIS, TIOCM_DTR);
    }
    const std::uint32_t rts = RtsControl(state);
    if (rts == kRtsControlEnable) {
        ModemLineIoctl(fd, TIOCMBIS, TIOCM_RTS);
    } else if (rts == kRtsControlDisable || rts == kRtsControlToggle) {
        ModemLineIoctl(fd, TIOCMBIC, TIOCM_RTS);
    }
}

SerialLineState LineStateAtOpen(const termios& attributes, std::uint32_t baudRate) {
    SerialLineState state;
    state.DCBlength = sizeof(SerialLineState);
    state.Flags = kFlagBinary;
    SetDtrControl(state, kDtrControlEnable);
    SetRtsControl(state, kRtsControlEnable);
    state.XonLim = kXonLimitAtOpen;
    state.XoffLim = kXoffLimitAtOpen;
    MergeTermiosIntoLineState(attributes, baudRate, state);
    return state;
}

Clock::duration WriteTimeout(const SerialTimeouts& timeouts, std::uint32_t count) {
    std::uint64_t milliseconds = timeouts.WriteTotalTimeoutConstant +
                                 std::uint64_t{timeouts.WriteTotalTimeoutMultiplier} * count;
    if (milliseconds == 0) {
        milliseconds =
            kDefaultWriteTimeoutConstantMs + std::uint64_t{kDefaultWriteTimeoutPerByteMs} * count;
    }
    return std::chrono::milliseconds(milliseconds);
}

int PollMilliseconds(Clock::duration remaining) {
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(remaining).count();
    return static_cast<int>(
        std::clamp<std::int64_t>(milliseconds, 0, std::numeric_limits<int>::max()));
}

// Gives the device back in the order that leaves nothing behind: its attributes as found,
// the exclusive mode, the lock, the descriptor.
void ReleasePort(int fd, const termios& attributes, std::uint32_t baudRate) {
    RestoreLine(fd, attributes, baudRate);
    RetryOnInterrupt([&] { return ::ioctl(fd, TIOCNXCL); });
    RetryOnInterrupt([&] { return ::flock(fd, LOCK_UN); });
    // Not retried: the descriptor is gone after close whatever it returns.
    ::close(fd);
}

}  // namespace

PosixSerialDevice::PosixSerialDevice(std::filesystem::path systemRoot)
    : m_systemRoot(std::move(systemRoot)) {}

PosixSerialDevice::~PosixSerialDevice() {
    for (auto& [handle, port] : m_ports) {
        ReleasePort(port->fd, port->attributesAtOpen, port->baudRateAtOpen);
    }
}

SerialHandle PosixSerialDevice::OpenDevice(const std::string& deviceName) {
    const std::optional<std::string> path = ResolvePortPath(deviceName);
    if (!path) {
        Fail(ENOENT);
        return kInvalidSerialHandle;
    }
    m_refusedLinkText = WhyPortEntryOpensNothing(m_systemRoot, *path);
    if (!m_refusedLinkText.empty()) {
        Fail(kRefusedLinkError);
        return kInvalidSerialHandle;
    }
    const int fd = RetryOnInterrupt(
        [&] { return ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd == -1) {
        Fail(errno);
        return kInvalidSerialHandle;
    }
    // The kernel's exclusive mode below does not hold against root; this lock keeps a second
    // channel out whoever runs it.
    if (RetryOnInterrupt([&] { return ::flock(fd, LOCK_EX | LOCK_NB); }) == -1) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        Fail(error);
        return kInvalidSerialHandle;
    }
    auto port = std::make_unique<OpenPort>();
    port->fd = fd;
    if (const int error = GetAttributes(fd, port->attributesAtOpen)) {
        RetryOnInterrupt([&] { return ::flock(fd, LOCK_UN); });
        ::close(fd);
        Fail(error);
        return kInvalidSerialHandle;
    }
    RetryOnInterrupt([&] { return ::ioctl(fd, TIOCEXCL); });
    GetLineBaudRate(fd, port->baudRateAtOpen);
    port->lineState = LineStateAtOpen(port->attributesAtOpen, port->baudRateAtOpen);
    port->timeouts = kTimeoutsAtOpen;

    const std::intptr_t handle = m_nextHandle++;
    m_ports.emplace(handle, std::move(port));
    return SerialHandle{handle};
}

bool PosixSerialDevice::GetLineState(SerialHandle handle, SerialLineState& state) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    state = port->lineState;
    state.DCBlength = sizeof(SerialLineState);
    termios attributes{};
    if (const int error = GetAttributes(port->fd, attributes)) {
        return Fail(error);
    }
    std::uint32_t baudRate = 0;
    if (const int error = GetLineBaudRate(port->fd, baudRate)) {
        return Fail(error);
    }
    MergeTermiosIntoLineState(attributes, baudRate, state);
    return true;
}

bool PosixSerialDevice::SetLineState(SerialHandle handle, const SerialLineState& state) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    termios previous{};
    if (const int error = GetAttributes(port->fd, previous)) {
        return Fail(error);
    }
    TermiosLine line;
    if (const int error = LineStateToTermios(state, previous, line)) {
        return Fail(error);
    }
    std::uint32_t previousBaudRate = 0;
    if (const int error = GetLineBaudRate(port->fd, previousBaudRate)) {
        return Fail(error);
    }
    if (const int error = ApplyLine(port->fd, line)) {
        RestoreLine(port->fd, previous, previousBaudRate);
        return Fail(error);
    }
    ApplyModemLines(port->fd, state);
    port->lineState = state;
    port->lineState.DCBlength = sizeof(SerialLineState);
    return true;
}

bool PosixSerialDevice::GetTimeouts(SerialHandle handle, SerialTimeouts& timeouts) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    timeouts = port->timeouts;
    return true;
}

bool PosixSerialDevice::SetTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    port->timeouts = timeouts;
    return true;
}

bool PosixSerialDevice::EscapeFunction(SerialHandle handle, std::uint32_t function) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    unsigned long request = 0;
    int line = 0;
    switch (function) {
        case kEscapeSetDtr:
            request = TIOCMBIS;
            line = TIOCM_DTR;
            break;
        case kEscapeClearDtr:
            request = TIOCMBIC;
            line = TIOCM_DTR;
            break;
        case kEscapeSetRts:
            request = TIOCMBIS;
            line = TIOCM_RTS;
            break;
        case kEscapeClearRts:
            request = TIOCMBIC;
            line = TIOCM_RTS;
            break;
        default:
            return Fail(EINVAL);
    }
    if (const int error = ModemLineIoctl(port->fd, request, line)) {
        return Fail(error);
    }
    return true;
}

bool PosixSerialDevice::ReadAvailable(SerialHandle handle, std::uint8_t* buffer,
                                      std::uint32_t count, std::uint32_t& countRead) {
    countRead = 0;
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    if (count == 0) {
        return true;
    }
    const ssize_t result = RetryOnInterrupt([&] { return ::read(port->fd, buffer, count); });
    if (result > 0) {
        countRead = static_cast<std::uint32_t>(result);
        return true;
    }
    if (result == 0) {
        // With VMIN 1 a terminal only reports end of file when the device has hung up.
        return Fail(EIO);
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return true;
    }
    return Fail(errno);
}

bool PosixSerialDevice::Write(SerialHandle handle, const std::uint8_t* bytes, std::uint32_t count,
                              std::uint32_t& countWritten) {
    countWritten = 0;
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    const Clock::time_point deadline = Clock::now() + WriteTimeout(port->timeouts, count);
    while (countWritten < count) {
        const ssize_t result = RetryOnInterrupt(
            [&] { return ::write(port->fd, bytes + countWritten, count - countWritten); });
        if (result > 0) {
            countWritten += static_cast<std::uint32_t>(result);
            continue;
        }
        if (result == -1 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return Fail(errno);
        }
        const Clock::duration remaining = deadline - Clock::now();
        if (remaining <= Clock::duration::zero()) {
            return Fail(ETIMEDOUT);
        }
        pollfd room{port->fd, POLLOUT, 0};
        const int ready = ::poll(&room, 1, PollMilliseconds(remaining));
        if (ready == -1 && errno == EINTR) {
            continue;
        }
        if (ready == -1) {
            return Fail(errno);
        }
        if (ready == 0) {
            return Fail(ETIMEDOUT);
        }
        if ((room.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            return Fail(EIO);
        }
    }
    return true;
}

bool PosixSerialDevice::Purge(SerialHandle handle, std::uint32_t flags) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    const bool output = (flags & kPurgeTxClear) != 0;
    const bool input = (flags & kPurgeRxClear) != 0;
    if (!output && !input) {
        return true;
    }
    const int queues = output && input ? TCIOFLUSH : (output ? TCOFLUSH : TCIFLUSH);
    if (RetryOnInterrupt([&] { return ::tcflush(port->fd, queues); }) == -1) {
        return Fail(errno);
    }
    return true;
}

bool PosixSerialDevice::CloseDevice(SerialHandle handle) {
    OpenPort* port = Find(handle);
    if (port == nullptr) {
        return false;
    }
    ReleasePort(port->fd, port->attributesAtOpen, port->baudRateAtOpen);
    m_ports.erase(static_cast<std::intptr_t>(handle));
    return true;
}

void PosixSerialDevice::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int PosixSerialDevice::LastError() {
    return m_lastError;
}

bool PosixSerialDevice::IsDeviceGoneError(int code) {
    return code == EIO || code == ENXIO || code == ENODEV;
}

bool PosixSerialDevice::DeviceExists(const std::string& deviceName) {
    const std::optional<std::string> path = ResolvePortPath(deviceName);
    struct stat found {};
    return path && ::stat(path->c_str(), &found) == 0 && S_ISCHR(found.st_mode);
}

std::string PosixSerialDevice::ErrorText(int code) {
    if (code == kRefusedLinkError) {
        return m_refusedLinkText;
    }
    if (::strerrorname_np(code) == nullptr) {
        return {};
    }
    char buffer[256];
    return ::strerror_r(code, buffer, sizeof(buffer));
}

PosixSerialDevice::OpenPort* PosixSerialDevice::Find(SerialHandle handle) {
    const auto found = m_ports.find(static_cast<std::intptr_t>(handle));
    if (found == m_ports.end()) {
        Fail(EBADF);
        return nullptr;
    }
    return found->second.get();
}

bool PosixSerialDevice::Fail(int code) {
    m_lastError = code;
    return false;
}
