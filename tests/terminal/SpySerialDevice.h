#pragma once

#include "serial/SerialDevice.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What the window's channel asked of the system, in order: "OpenDevice \\.\COM7", "Purge",
// "CloseDevice", "Sleep 2", "Write 1022", "ReadAvailable" and the like. The test owns it, so
// it outlives the window.
struct SerialCallLog {
    std::vector<std::string> calls;

    std::size_t Count(std::string_view call) const;
    // The calls from index `from` on that start with `prefix`.
    std::vector<std::string> Matching(std::string_view prefix, std::size_t from = 0) const;
};

// The system's serial device, unchanged, that notes every call in a log: a pty shows what
// reached the line, this shows how the window's channel got it there (one write or several,
// a purge after the open, a re-open on Set).
class SpySerialDevice : public SerialDevice {
public:
    explicit SpySerialDevice(SerialCallLog& log);

    SerialHandle OpenDevice(const std::string& deviceName) override;
    bool GetLineState(SerialHandle handle, SerialLineState& state) override;
    bool SetLineState(SerialHandle handle, const SerialLineState& state) override;
    bool GetTimeouts(SerialHandle handle, SerialTimeouts& timeouts) override;
    bool SetTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) override;
    bool EscapeFunction(SerialHandle handle, std::uint32_t function) override;
    bool ReadAvailable(SerialHandle handle, std::uint8_t* buffer, std::uint32_t count,
                       std::uint32_t& countRead) override;
    bool Write(SerialHandle handle, const std::uint8_t* bytes, std::uint32_t count,
               std::uint32_t& countWritten) override;
    bool Purge(SerialHandle handle, std::uint32_t flags) override;
    bool CloseDevice(SerialHandle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    int LastError() override;
    bool IsDeviceGoneError(int code) override;
    bool DeviceExists(const std::string& deviceName) override;
    std::string ErrorText(int code) override;

private:
    SerialCallLog& m_log;
    std::unique_ptr<SerialDevice> m_device;
};
