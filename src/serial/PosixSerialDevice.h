#pragma once

#include "serial/PortNumbering.h"
#include "serial/SerialDevice.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

// The serial platform on Linux, through the terminal interface.
//
// - "\\.\COM<n>" opens $XDG_CONFIG_HOME/quenlark/ports/com<n> (usually a link to a device
//   such as /dev/ttyUSB0); only when there is no such link, /dev/ttyS<n-1>. A link that
//   cannot be read fails with the system's error; one to a name two adapters share, or to a
//   device another number opens, with a text that says so; port 0 and other names fail with ENOENT.
// - The open is exclusive for every user, root included: a second open of the same device,
//   from this process or another, fails with EBUSY. A file that is no terminal fails with
//   ENOTTY.
// - A line state the line cannot take fails with EINVAL before anything changes. The DTR
//   and RTS control fields of the record raise or drop those lines.
// - Reads never wait, whatever the time-outs say. A write waits at most
//   WriteTotalTimeoutConstant + n * WriteTotalTimeoutMultiplier ms; a record that gives no
//   limit at all gets 1000 + 10 * n ms, so a stalled line never hangs the caller.
// - A device that has gone away (unplugged, or the other end of a pseudo-terminal closed)
//   fails its reads and writes with EIO, ENXIO or ENODEV, and can still be closed. A port
//   exists while its path leads to a character device.
// - Closing puts back the terminal attributes found at open and releases the device.
//
// Handles count up from 1, whatever descriptor the system gives, so an open device is never
// the null handle. Not for use from more than one thread.
class PosixSerialDevice : public SerialDevice {
public:
    // Devices and their names are read below systemRoot.
    explicit PosixSerialDevice(std::filesystem::path systemRoot = kSystemRoot);
    // Closes every device still open.
    ~PosixSerialDevice() override;

    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

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
    // The descriptor is released even when the system reports an error on closing it (a
    // vanished device does), so only an unknown handle fails.
    bool CloseDevice(SerialHandle handle) override;
    void Sleep(std::uint32_t milliseconds) override;
    int LastError() override;
    bool IsDeviceGoneError(int code) override;
    bool DeviceExists(const std::string& deviceName) override;
    // strerror's text; empty for a code the system does not know.
    std::string ErrorText(int code) override;

private:
    struct OpenPort;

    OpenPort* Find(SerialHandle handle);
    bool Fail(int code);

    std::map<std::intptr_t, std::unique_ptr<OpenPort>> m_ports;
    std::intptr_t m_nextHandle = 1;
    int m_lastError = 0;
    std::filesystem::path m_systemRoot;
    // Why the last open refused the port's link.
    std::string m_refusedLinkText;
};
