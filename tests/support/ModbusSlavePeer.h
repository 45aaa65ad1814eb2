#pragma once

#include "support/ModbusSlaveSetup.h"
#include "support/PeerProcess.h"
#include "support/ScopedConfigHome.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// A real Modbus RTU slave on the far end of a serial line, for end-to-end tests: a pty pair
// made by socat, whose near end is linked as <config home>/quenlark/ports/com<n> (so a
// channel set to port n opens it), and python3-pymodbus serving one unit on the far end at
// 9600 baud, 8 data bits, no parity, one stop bit.
//
// The slave answers each complete request frame and stays silent on a frame whose CRC does
// not check, on one for another unit, and on the incomplete rest of a frame when the line
// falls silent; it keeps serving after each of them. It reports what it received, replied
// and discarded, so a test can wait for the slave rather than for time.
//
// The constructor returns once the slave listens; the destructor stops the slave and socat
// and removes the link, so a failing test leaves no process behind. Waits end as soon as
// their condition holds; the guards only keep a broken peer from hanging the test run.
// Construct one only where Available() holds (GTEST_SKIP() << MissingTools() otherwise).
// Not for use from more than one thread.
class ModbusSlavePeer {
public:
    using Bytes = std::vector<std::uint8_t>;

    // The settings a channel opens the near end with to match the slave.
    static constexpr const char* kLineSettings = "9600, N, 8, 1";
    static constexpr std::uint32_t kBaudRate = 9600;
    // Starting the Modbus modules takes a second or two; this is only a hang guard.
    static constexpr std::chrono::milliseconds kStartGuard{20000};
    static constexpr std::chrono::milliseconds kHangGuard{10000};
    // The longest read of holding registers one request may ask for.
    static constexpr std::uint16_t kMaxReadCount = 125;

    // Why no slave can run here ("socat is not installed", what the Python side misses),
    // or empty when one can. Found out once per test program.
    static const std::string& MissingTools();
    static bool Available() { return MissingTools().empty(); }

    // Replaces any com<portNumber> link already there. Throws std::runtime_error, with what
    // socat or the slave wrote on standard error, when either cannot be started.
    ModbusSlavePeer(const ScopedConfigHome& home, int portNumber, ModbusSlaveSetup setup = {});
    // Stop().
    ~ModbusSlavePeer();

    ModbusSlavePeer(const ModbusSlavePeer&) = delete;
    ModbusSlavePeer& operator=(const ModbusSlavePeer&) = delete;

    int PortNumber() const { return m_portNumber; }
    const std::filesystem::path& LinkPath() const { return m_linkPath; }
    // The near end's device, such as /dev/pts/3.
    const std::string& DevicePath() const { return m_devicePath; }
    // As set up: writes a test makes to the slave's registers are not seen here.
    const ModbusSlaveSetup& Setup() const { return m_setup; }

    // The whole frame, CRC included, that the slave as set up sends in reply to a read of
    // `count` holding registers from `first` (function 3): the values, or the exception
    // reply "illegal data value" for a count outside 1 to 125 and "illegal data address"
    // for a range past the last register.
    Bytes ReadHoldingRegistersReply(std::uint16_t first, std::uint16_t count) const;

    // What the slave has done so far, without waiting: the bytes it has received, the
    // replies it has sent and the bytes it has discarded unanswered, in order.
    std::size_t BytesReceived();
    std::vector<Bytes> Replies();
    std::vector<Bytes> DiscardedFrames();

    // Wait until the slave has received `count` bytes, sent `count` replies or discarded
    // `count` frames in all; false when the guard ran out or the slave has ended.
    bool WaitForBytesReceived(std::size_t count, std::chrono::milliseconds hangGuard = kHangGuard);
    bool WaitForReplies(std::size_t count, std::chrono::milliseconds hangGuard = kHangGuard);
    bool WaitForDiscardedFrames(std::size_t count,
                                std::chrono::milliseconds hangGuard = kHangGuard);

    // What the slave has written on standard error so far: its warnings and errors.
    std::string ErrorOutput();

    // Stops the slave with SIGTERM, then socat, and removes the link if it is still this
    // peer's. True when the slave ended as it should on SIGTERM (exit status 0).
    bool Stop();

    pid_t SlaveProcessId() const;
    pid_t RelayProcessId() const;

private:
    void ReadReports();

    ModbusSlaveSetup m_setup;
    int m_portNumber;
    std::filesystem::path m_lineFolder;
    std::filesystem::path m_linkPath;
    std::string m_devicePath;
    std::optional<PeerProcess> m_relay;
    std::optional<PeerProcess> m_slave;
    std::size_t m_reportsRead = 0;
    bool m_ready = false;
    std::size_t m_bytesReceived = 0;
    std::vector<Bytes> m_replies;
    std::vector<Bytes> m_discarded;
    std::optional<bool> m_stoppedCleanly;
};
