#pragma once

#include "serial/SerialLineState.h"
#include "serial/SerialTimeouts.h"

#include <cstdint>
#include <string>
#include <string_view>

// An open device as the platform names it. Opaque: only the platform that handed it out
// knows what it stands for.
enum class SerialHandle : std::intptr_t {};

// What a failed open hands out; a channel holding it is closed.
constexpr SerialHandle kInvalidSerialHandle{-1};
// Never handed out for an open device, so the channel can treat it as "no device at all".
constexpr SerialHandle kNullSerialHandle{0};

// A port's device name is this prefix followed by its number in decimal: \\.\COM12.
constexpr std::string_view kComDeviceNamePrefix = "\\\\.\\COM";

// Codes for SerialDevice::EscapeFunction.
constexpr std::uint32_t kEscapeSetRts = 3;
constexpr std::uint32_t kEscapeClearRts = 4;
constexpr std::uint32_t kEscapeSetDtr = 5;
constexpr std::uint32_t kEscapeClearDtr = 6;

// Flags for SerialDevice::Purge; together they discard both queues.
constexpr std::uint32_t kPurgeTxClear = 0x0004;
constexpr std::uint32_t kPurgeRxClear = 0x0008;

// The platform operations the serial channel needs, and nothing more: no user interface. Each
// operation that can fail returns false and leaves a code for LastError(). Everything runs on
// the caller's thread and blocks it for as long as it takes.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the existing device `deviceName` ("\\.\COM<n>") for reading and writing,
    // exclusively. Returns kInvalidSerialHandle on failure.
    virtual SerialHandle OpenDevice(const std::string& deviceName) = 0;

    // Reads the line state, DCBlength included.
    virtual bool GetLineState(SerialHandle handle, SerialLineState& state) = 0;
    // Replaces the line state; fails, changing nothing, when the line cannot take a value.
    virtual bool SetLineState(SerialHandle handle, const SerialLineState& state) = 0;

    virtual bool GetTimeouts(SerialHandle handle, SerialTimeouts& timeouts) = 0;
    virtual bool SetTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) = 0;

    // Asserts or clears a modem line: one of the kEscape codes.
    virtual bool EscapeFunction(SerialHandle handle, std::uint32_t function) = 0;

    // Takes up to `count` bytes that have already arrived, without waiting; `countRead`
    // receives how many (0 also on failure).
    virtual bool ReadAvailable(SerialHandle handle, std::uint8_t* buffer, std::uint32_t count,
                               std::uint32_t& countRead) = 0;

    // Sends `count` bytes, waiting at most the write time-out; `countWritten` receives how
    // many were sent (also on failure).
    virtual bool Write(SerialHandle handle, const std::uint8_t* bytes, std::uint32_t count,
                       std::uint32_t& countWritten) = 0;

    // Discards what waits in the queues named by the kPurge flags.
    virtual bool Purge(SerialHandle handle, std::uint32_t flags) = 0;

    // Releases the device. On failure the handle stays valid.
    virtual bool CloseDevice(SerialHandle handle) = 0;

    virtual void Sleep(std::uint32_t milliseconds) = 0;

    // The code left by the last failed operation.
    virtual int LastError() = 0;

    // Whether `code`, left by a failed read or write on an open device, says that the device
    // itself has gone away (unplugged); its handle is then good for nothing but closing.
    virtual bool IsDeviceGoneError(int code) = 0;
    // Whether `deviceName` leads to a device at the moment, found cheaply and without opening
    // anything, so that an absent port can be watched for its return.
    virtual bool DeviceExists(const std::string& deviceName) = 0;

    // The operating system's text for an error code in UTF-8, empty when it has none.
    virtual std::string ErrorText(int code) = 0;
};
