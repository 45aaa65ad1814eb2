#include "support/PtyPort.h"

#include "support/MasterBaudRate.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <system_error>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void ThrowSystemError(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Waits for `events` on `fd` until `deadline`; false when the time ran out or the other end
// is gone.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto remaining =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (remaining <= 0) {
            return false;
        }
        pollfd ready{fd, events, 0};
        const int result =
            ::poll(&ready, 1, static_cast<int>(std::min<long long>(remaining, 1000)));
        if (result == -1 && errno != EINTR) {
            return false;
        }
        if (result > 0) {
            return (ready.revents & events) != 0;
        }
    }
}

void CloseIfOpen(int& fd) {
    if (fd != -1) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

PtyPort::PtyPort(const ScopedConfigHome& home, int portNumber) {
    std::array<char, 256> name{};
    if (::openpty(&m_master, &m_slave, name.data(), nullptr, nullptr) == -1) {
        ThrowSystemError("openpty");
    }
    m_slavePath = name.data();
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);

    const std::string comName = "com" + std::to_string(portNumber);
    std::filesystem::create_directories(home.PortsFolder());
    m_linkPath = home.PortsFolder() / comName;
    m_vanishedPath = home.Path() / ("vanished-" + comName);
    m_linkTarget = m_slavePath;
    std::filesystem::remove(m_linkPath);
    std::filesystem::create_symlink(m_linkTarget, m_linkPath);
}

PtyPort::~PtyPort() {
    CloseIfOpen(m_master);
    CloseIfOpen(m_slave);
    std::error_code error;
    if (std::filesystem::read_symlink(m_linkPath, error) == m_linkTarget && !error) {
        std::filesystem::remove(m_linkPath, error);
    }
}

bool PtyPort::WriteToMaster(const std::vector<std::uint8_t>& bytes,
                            std::chrono::milliseconds hangGuard) {
    const Clock::time_point deadline = Clock::now() + hangGuard;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t result = ::write(m_master, bytes.data() + written, bytes.size() - written);
        if (result > 0) {
            written += static_cast<std::size_t>(result);
        } else if (result == -1 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!WaitFor(m_master, POLLOUT, deadline)) {
            return false;
        }
    }
    return true;
}

bool PtyPort::WriteToMaster(std::string_view text, std::chrono::milliseconds hangGuard) {
    return WriteToMaster(std::vector<std::uint8_t>(text.begin(), text.end()), hangGuard);
}

std::vector<std::uint8_t> PtyPort::ReadFromMaster(std::size_t count,
                                                  std::chrono::milliseconds hangGuard) {
    const Clock::time_point deadline = Clock::now() + hangGuard;
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 4096> chunk{};
    while (bytes.size() < count) {
        const std::size_t wanted = std::min(chunk.size(), count - bytes.size());
        const ssize_t result = ::read(m_master, chunk.data(), wanted);
        if (result > 0) {
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + result);
        } else if (result == -1 && errno != EAGAIN && errno != EINTR) {
            break;
        } else if (!WaitFor(m_master, POLLIN, deadline)) {
            break;
        }
    }
    return bytes;
}

std::vector<std::uint8_t> PtyPort::ReadAvailableFromMaster() {
    std::vector<std::uint8_t> bytes;
    std::array<std::uint8_t, 4096> chunk{};
    for (;;) {
        const ssize_t result = ::read(m_master, chunk.data(), chunk.size());
        if (result > 0) {
            bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + result);
        } else if (result == -1 && errno == EINTR) {
            continue;
        } else {
            return bytes;
        }
    }
}

termios PtyPort::MasterTermios() const {
    termios attributes{};
    if (::tcgetattr(m_master, &attributes) == -1) {
        ThrowSystemError("tcgetattr");
    }
    return attributes;
}

std::uint32_t PtyPort::MasterBaudRate() const {
    return ReadMasterBaudRate(m_master);
}

void PtyPort::CloseMaster() {
    CloseIfOpen(m_master);
    CloseIfOpen(m_slave);
    std::filesystem::remove(m_linkPath);
    m_linkTarget = m_vanishedPath;
    std::filesystem::create_symlink(m_linkTarget, m_linkPath);
}
