#pragma once

#include "serial/CComPort.h"
#include "serial/SerialDevice.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// What one poll of the fake device finds: bytes that have arrived (handed out as far as the
// read asks, the rest kept for the next read), or a failed read.
struct FakePoll {
    std::vector<std::uint8_t> bytes;
    bool fails = false;
};

// The script a test gives the fake device and everything the device saw. The test owns it,
// so it outlives the channel that owns the device.
struct FakeSerialState {
    // Script.
    SerialHandle handleToHandOut{7};
    int openError = 0;  // nonzero: OpenDevice fails with this code
    // Returns an error code for a line state the device rejects, 0 to accept it.
    std::function<int(const SerialLineState&)> rejectLineState;
    int setTimeoutsError = 0;
    int closeError = 0;
    int purgeError = 0;
    std::deque<FakePoll> polls;  // one per read; an empty queue finds nothing
    int writeLimit = -1;         // >= 0: a write sends at most this many bytes and fails
    std::map<int, std::string> errorTexts;
    int goneError = 0;              // nonzero: the code that says the device has gone away
    bool present = true;            // what DeviceExists answers
    std::function<void()> onSleep;  // runs inside each pause
    SerialLineState lineState;      // what the device holds; GetLineState reports it
    SerialTimeouts timeouts;

    // Record.
    std::vector<std::string> calls;  // every call, in order, e.g. "Sleep 10", "ReadAvailable 8"
    std::vector<std::string> errorBoxes;
    std::vector<std::uint32_t> sleeps;
    std::vector<SerialLineState> lineStatesWritten;  // accepted ones only
    std::vector<std::uint32_t> readRequests;
    std::vector<std::uint8_t> bytesWritten;
    bool wrongHandleUsed = false;  // an operation got a handle other than the open one
    int lastError = 0;
    bool open = false;
};

// A serial platform that records every call and answers from a script, never touching the
// system or waiting for real time.
class RecordingSerialDevice : public SerialDevice {
public:
    explicit RecordingSerialDevice(FakeSerialState& state) : m_state(state) {}

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
    void CheckHandle(SerialHandle handle);
    bool Fail(int code);

    FakeSerialState& m_state;
};

// A reporter for the channel that records each error box in `state`, among the calls as
// "ShowErrorBox <text>".
CComPort::ErrorReporter RecordErrorBoxes(FakeSerialState& state);
