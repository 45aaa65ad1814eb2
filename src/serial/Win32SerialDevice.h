#pragma once

#include "serial/SerialDevice.h"

#include <cstdint>
#include <string>

// The serial platform on Windows, through the system's communications calls.
//
// - "\\.\COM<n>" opens with CreateFileA, shared with nobody.
// - The line state and the time-outs are the system's own records, field for field; every
//   field of the line state reaches the device, the flow-control bits included.
// - Reads return at once with what has arrived under the read time-outs the channel sets; a
//   freshly opened device already has such time-outs, so no read waits before the channel's
//   own are in force. A write waits at most the write time-out.
// - The driver is asked at open for an input queue that holds a second at 3 Mbaud.
// - A read or write on a device that has been unplugged fails with one of the codes
//   IsDeviceGoneError names; a port exists while the system defines its name COM<n>.
// - Each failing call leaves the system's error code for LastError().
//
// Handles are the system's handles. Not for use from more than one thread.
class Win32SerialDevice : public SerialDevice {
public:
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
    // FormatMessageW's text in UTF-8 without its line end; empty for a code the system has no
    // text for.
    std::string ErrorText(int code) override;

private:
    // Takes the error code of the call that has just failed; every failure comes through here.
    bool Fail();

    int m_lastError = 0;
};
