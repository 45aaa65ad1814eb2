#include "support/ModbusSlavePeer.h"

#include "codec/ModbusCrc16.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

using Bytes = ModbusSlavePeer::Bytes;

// Debian's Python, which sees Debian's modules whatever python3 comes first on the PATH.
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kSlaveScript = QUENLARK_MODBUS_SLAVE_SCRIPT;
constexpr const char* kInstallHint = " (scripts/setup.sh installs it)";
// What socat says once both ptys exist and it relays between them.
constexpr std::string_view kRelayRunning = "starting data transfer loop";

constexpr std::uint8_t kReadHoldingRegisters = 0x03;
constexpr std::uint8_t kExceptionFlag = 0x80;
constexpr std::uint8_t kIllegalDataAddress = 0x02;
constexpr std::uint8_t kIllegalDataValue = 0x03;

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string FindMissingTools() {
    if (PeerProcess::FindOnPath("socat").empty()) {
        return std::string("socat is not installed") + kInstallHint;
    }
    if (::access(kPython, X_OK) != 0) {
        return std::string(kPython) + " is not installed" + kInstallHint;
    }
    try {
        PeerProcess check(kPython, {kSlaveScript, "--check"});
        if (!check.WaitUntil([&check] { return check.HasEnded(); }, ModbusSlavePeer::kStartGuard)) {
            return "the Modbus slave's check of its modules did not finish";
        }
        const int status = check.WaitStatus();
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            return {};
        }
        return "the Modbus slave cannot run (" + check.Describe() +
               "): " + Trimmed(check.ErrorOutput()) +
               "; scripts/setup.sh installs python3-pymodbus and python3-serial-asyncio";
    } catch (const std::exception& error) {
        return std::string("the Modbus slave cannot run: ") + error.what();
    }
}

std::string RegisterList(const std::vector<std::uint16_t>& registers) {
    std::string list;
    for (const std::uint16_t value : registers) {
        if (!list.empty()) {
            list += ',';
        }
        list += std::to_string(value);
    }
    return list;
}

// Two hex digits a byte, as the slave reports bytes; nullopt for anything else.
std::optional<Bytes> ParseHex(std::string_view text) {
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    Bytes bytes;
    for (std::size_t at = 0; at < text.size(); at += 2) {
        const std::string pair(text.substr(at, 2));
        char* end = nullptr;
        const unsigned long value = std::strtoul(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

void AppendCrc(Bytes& frame) {
    const std::uint16_t crc = ModbusCrc16(frame.data(), static_cast<std::uint32_t>(frame.size()));
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

std::string StartFailure(const std::string& what, const PeerProcess& process) {
    std::string text = what + " (" + process.Describe() + ")";
    const std::string errors = Trimmed(process.ErrorOutput());
    if (!errors.empty()) {
        text += ": " + errors;
    }
    return text;
}

}  // namespace

const std::string& ModbusSlavePeer::MissingTools() {
    static const std::string reason = FindMissingTools();
    return reason;
}

ModbusSlavePeer::ModbusSlavePeer(const ScopedConfigHome& home, int portNumber,
                                 ModbusSlaveSetup setup)
    : m_setup(std::move(setup)), m_portNumber(portNumber) {
    try {
        std::string pattern = home.Path() / "modbus-line-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        }
        m_lineFolder = pattern;
        const std::filesystem::path nearEnd = m_lineFolder / "near";
        const std::filesystem::path farEnd = m_lineFolder / "far";

        const std::string socat = PeerProcess::FindOnPath("socat");
        if (socat.empty()) {
            throw std::runtime_error(std::string("socat is not installed") + kInstallHint);
        }
        // rawer: no echo and no line editing on either end from the start.
        m_relay.emplace(socat,
                        std::vector<std::string>{"-d", "-d", "pty,rawer,link=" + nearEnd.string(),
                                                 "pty,rawer,link=" + farEnd.string()});
        if (!m_relay->WaitUntil(
                [this] { return m_relay->ErrorOutput().find(kRelayRunning) != std::string::npos; },
                kStartGuard)) {
            throw std::runtime_error(StartFailure("socat did not make the pty pair", *m_relay));
        }
        m_devicePath = std::filesystem::read_symlink(nearEnd).string();

        m_slave.emplace(kPython,
                        std::vector<std::string>{kSlaveScript, "--port", farEnd.string(), "--unit",
                                                 std::to_string(m_setup.unitId), "--baudrate",
                                                 std::to_string(kBaudRate), "--registers",
                                                 RegisterList(m_setup.holdingRegisters)});
        if (!m_slave->WaitUntil(
                [this] {
                    ReadReports();
                    return m_ready;
                },
                kStartGuard)) {
            throw std::runtime_error(
                StartFailure("the Modbus slave did not start listening", *m_slave));
        }

        std::filesystem::create_directories(home.PortsFolder());
        m_linkPath = home.PortsFolder() / ("com" + std::to_string(portNumber));
        std::filesystem::remove(m_linkPath);
        std::filesystem::create_symlink(m_devicePath, m_linkPath);
    } catch (...) {
        Stop();
        throw;
    }
}

ModbusSlavePeer::~ModbusSlavePeer() {
    Stop();
}

Bytes ModbusSlavePeer::ReadHoldingRegistersReply(std::uint16_t first, std::uint16_t count) const {
    const auto unit = static_cast<std::uint8_t>(m_setup.unitId);
    Bytes frame;
    if (count < 1 || count > kMaxReadCount) {
        frame = {unit, kReadHoldingRegisters | kExceptionFlag, kIllegalDataValue};
    } else if (std::size_t{first} + count > m_setup.holdingRegisters.size()) {
        frame = {unit, kReadHoldingRegisters | kExceptionFlag, kIllegalDataAddress};
    } else {
        frame = {unit, kReadHoldingRegisters, static_cast<std::uint8_t>(2 * count)};
        for (std::size_t index = first; index < std::size_t{first} + count; ++index) {
            const std::uint16_t value = m_setup.holdingRegisters[index];
            frame.push_back(static_cast<std::uint8_t>(value >> 8));
            frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
        }
    }
    AppendCrc(frame);
    return frame;
}

void ModbusSlavePeer::ReadReports() {
    if (!m_slave) {
        return;
    }
    m_slave->ReadAvailable();
    const std::string& output = m_slave->Output();
    for (std::size_t end = output.find('\n', m_reportsRead); end != std::string::npos;
         end = output.find('\n', m_reportsRead)) {
        const std::string_view line(output.data() + m_reportsRead, end - m_reportsRead);
        m_reportsRead = end + 1;
        const std::size_t space = line.find(' ');
        const std::string_view event = line.substr(0, space);
        const std::optional<Bytes> bytes =
            ParseHex(space == std::string_view::npos ? std::string_view() : line.substr(space + 1));
        if (event == "ready") {
            m_ready = true;
        } else if (!bytes) {
            continue;
        } else if (event == "received") {
            m_bytesReceived += bytes->size();
        } else if (event == "replied") {
            m_replies.push_back(*bytes);
        } else if (event == "discarded") {
            m_discarded.push_back(*bytes);
        }
    }
}

std::size_t ModbusSlavePeer::BytesReceived() {
    ReadReports();
    return m_bytesReceived;
}

std::vector<Bytes> ModbusSlavePeer::Replies() {
    ReadReports();
    return m_replies;
}

std::vector<Bytes> ModbusSlavePeer::DiscardedFrames() {
    ReadReports();
    return m_discarded;
}

bool ModbusSlavePeer::WaitForBytesReceived(std::size_t count, std::chrono::milliseconds hangGuard) {
    return m_slave && m_slave->WaitUntil(
                          [this, count] {
                              ReadReports();
                              return m_bytesReceived >= count;
                          },
                          hangGuard);
}

bool ModbusSlavePeer::WaitForReplies(std::size_t count, std::chrono::milliseconds hangGuard) {
    return m_slave && m_slave->WaitUntil(
                          [this, count] {
                              ReadReports();
                              return m_replies.size() >= count;
                          },
                          hangGuard);
}

bool ModbusSlavePeer::WaitForDiscardedFrames(std::size_t count,
                                             std::chrono::milliseconds hangGuard) {
    return m_slave && m_slave->WaitUntil(
                          [this, count] {
                              ReadReports();
                              return m_discarded.size() >= count;
                          },
                          hangGuard);
}

std::string ModbusSlavePeer::ErrorOutput() {
    if (!m_slave) {
        return {};
    }
    m_slave->ReadAvailable();
    return m_slave->ErrorOutput();
}

bool ModbusSlavePeer::Stop() {
    if (m_stoppedCleanly) {
        return *m_stoppedCleanly;
    }
    bool clean = false;
    if (m_slave) {
        m_slave->Stop();
        ReadReports();
        const int status = m_slave->WaitStatus();
        clean = m_slave->HasEnded() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (m_relay) {
        m_relay->Stop();
    }
    std::error_code ignored;
    if (!m_linkPath.empty() && std::filesystem::read_symlink(m_linkPath, ignored) == m_devicePath) {
        std::filesystem::remove(m_linkPath, ignored);
    }
    if (!m_lineFolder.empty()) {
        std::filesystem::remove_all(m_lineFolder, ignored);
    }
    m_stoppedCleanly = clean;
    return clean;
}

pid_t ModbusSlavePeer::SlaveProcessId() const {
    return m_slave ? m_slave->ProcessId() : -1;
}

pid_t ModbusSlavePeer::RelayProcessId() const {
    return m_relay ? m_relay->ProcessId() : -1;
}
