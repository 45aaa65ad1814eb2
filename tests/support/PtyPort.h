#pragma once

#include "support/ScopedConfigHome.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <termios.h>
#include <vector>

// A pseudo-terminal standing in for the device on COM port n: its slave end is linked as
// <config home>/quenlark/ports/com<n>, so a channel set to port n opens it, and the test
// plays the device on the master end.
//
// The test keeps the slave open as well, so the master keeps working while the channel
// closes and opens again. Waits are bounded by a hang guard only; no result depends on how
// fast the machine is.
class PtyPort {
public:
    static constexpr std::chrono::milliseconds kHangGuard{10000};

    // Replaces any com<n> link already there. Throws std::system_error on failure.
    PtyPort(const ScopedConfigHome& home, int portNumber);
    // Closes both ends and removes the link if it is still this object's.
    ~PtyPort();

    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    const std::filesystem::path& LinkPath() const { return m_linkPath; }
    // -1 once CloseMaster has run.
    int MasterFd() const { return m_master; }

    // Sends bytes to the channel. False if they could not all be written within the guard.
    bool WriteToMaster(const std::vector<std::uint8_t>& bytes,
                       std::chrono::milliseconds hangGuard = kHangGuard);
    bool WriteToMaster(std::string_view text, std::chrono::milliseconds hangGuard = kHangGuard);

    // Waits until `count` bytes have come from the channel or the guard has run out, and
    // returns what came (fewer than `count` only when the guard ran out).
    std::vector<std::uint8_t> ReadFromMaster(std::size_t count,
                                             std::chrono::milliseconds hangGuard = kHangGuard);
    // What has already come from the channel, without waiting.
    std::vector<std::uint8_t> ReadAvailableFromMaster();

    // The line's attributes as the channel set them (data bits and parity read back as 8
    // and none: a pseudo-terminal forces them).
    termios MasterTermios() const;
    // The line's output speed, nonstandard rates included.
    std::uint32_t MasterBaudRate() const;

    // The device goes away: the channel's end hangs up, and the link now leads nowhere, as
    // an unplugged adapter's does. (It points into the config home rather than at the old
    // slave, whose number another pseudo-terminal may get next.)
    void CloseMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::filesystem::path m_linkPath;
    std::filesystem::path m_linkTarget;
    std::filesystem::path m_vanishedPath;
};
