#include "RecordingSerialDevice.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

SerialHandle RecordingSerialDevice::OpenDevice(const std::string& deviceName) {
    m_state.calls.push_back("OpenDevice " + deviceName);
    if (m_state.openError != 0) {
        Fail(m_state.openError);
        return kInvalidSerialHandle;
    }
    m_state.open = true;
    return m_state.handleToHandOut;
}

bool RecordingSerialDevice::GetLineState(SerialHandle handle, SerialLineState& state) {
    m_state.calls.push_back("GetLineState");
    CheckHandle(handle);
    if (state.DCBlength != sizeof(SerialLineState)) {
        m_state.calls.push_back("(record length not set)");
    }
    state = m_state.lineState;
    return true;
}

bool RecordingSerialDevice::SetLineState(SerialHandle handle, const SerialLineState& state) {
    m_state.calls.push_back("SetLineState");
    CheckHandle(handle);
    if (m_state.rejectLineState) {
        if (const int error = m_state.rejectLineState(state)) {
            return Fail(error);
        }
    }
    m_state.lineState = state;
    m_state.lineStatesWritten.push_back(state);
    return true;
}

bool RecordingSerialDevice::GetTimeouts(SerialHandle handle, SerialTimeouts& timeouts) {
    m_state.calls.push_back("GetTimeouts");
    CheckHandle(handle);
    timeouts = m_state.timeouts;
    return true;
}

bool RecordingSerialDevice::SetTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) {
    m_state.calls.push_back("SetTimeouts");
    CheckHandle(handle);
    if (m_state.setTimeoutsError != 0) {
        return Fail(m_state.setTimeoutsError);
    }
    m_state.timeouts = timeouts;
    return true;
}

bool RecordingSerialDevice::EscapeFunction(SerialHandle handle, std::uint32_t function) {
    m_state.calls.push_back("EscapeFunction " + std::to_string(function));
    CheckHandle(handle);
    return true;
}

bool RecordingSerialDevice::ReadAvailable(SerialHandle handle, std::uint8_t* buffer,
                                          std::uint32_t count, std::uint32_t& countRead) {
    m_state.calls.push_back("ReadAvailable " + std::to_string(count));
    CheckHandle(handle);
    m_state.readRequests.push_back(count);
    countRead = 0;
    if (m_state.polls.empty()) {
        return true;
    }
    FakePoll& poll = m_state.polls.front();
    if (poll.fails) {
        m_state.polls.pop_front();
        return Fail(EIO);
    }
    countRead = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(poll.bytes.size()));
    // Writing the whole count the channel asked for: a request larger than its buffer shows
    // up under AddressSanitizer.
    std::memset(buffer, 0xEE, count);
    std::copy_n(poll.bytes.begin(), countRead, buffer);
    poll.bytes.erase(poll.bytes.begin(), poll.bytes.begin() + countRead);
    if (poll.bytes.empty()) {
        m_state.polls.pop_front();
    }
    return true;
}

bool RecordingSerialDevice::Write(SerialHandle handle, const std::uint8_t* bytes,
                                  std::uint32_t count, std::uint32_t& countWritten) {
    m_state.calls.push_back("Write " + std::to_string(count));
    CheckHandle(handle);
    countWritten = count;
    if (m_state.writeLimit >= 0) {
        countWritten = std::min(count, static_cast<std::uint32_t>(m_state.writeLimit));
    }
    m_state.bytesWritten.insert(m_state.bytesWritten.end(), bytes, bytes + countWritten);
    return countWritten == count ? true : Fail(ETIMEDOUT);
}

bool RecordingSerialDevice::Purge(SerialHandle handle, std::uint32_t flags) {
    m_state.calls.push_back("Purge " + std::to_string(flags));
    CheckHandle(handle);
    if (m_state.purgeError != 0) {
        return Fail(m_state.purgeError);
    }
    return true;
}

bool RecordingSerialDevice::CloseDevice(SerialHandle handle) {
    m_state.calls.push_back("CloseDevice");
    CheckHandle(handle);
    if (m_state.closeError != 0) {
        return Fail(m_state.closeError);
    }
    m_state.open = false;
    return true;
}

void RecordingSerialDevice::Sleep(std::uint32_t milliseconds) {
    m_state.calls.push_back("Sleep " + std::to_string(milliseconds));
    m_state.sleeps.push_back(milliseconds);
    if (m_state.onSleep) {
        m_state.onSleep();
    }
}

int RecordingSerialDevice::LastError() {
    m_state.calls.push_back("LastError");
    return m_state.lastError;
}

bool RecordingSerialDevice::IsDeviceGoneError(int code) {
    return m_state.goneError != 0 && code == m_state.goneError;
}

bool RecordingSerialDevice::DeviceExists(const std::string& deviceName) {
    m_state.calls.push_back("DeviceExists " + deviceName);
    return m_state.present;
}

std::string RecordingSerialDevice::ErrorText(int code) {
    m_state.calls.push_back("ErrorText " + std::to_string(code));
    const auto found = m_state.errorTexts.find(code);
    return found == m_state.errorTexts.end() ? std::string() : found->second;
}

void RecordingSerialDevice::CheckHandle(SerialHandle handle) {
    if (!m_state.open || handle != m_state.handleToHandOut) {
        m_state.wrongHandleUsed = true;
    }
}

bool RecordingSerialDevice::Fail(int code) {
    m_state.lastError = code;
    return false;
}

CComPort::ErrorReporter RecordErrorBoxes(FakeSerialState& state) {
    return [&state](const std::string& text) {
        state.calls.push_back("ShowErrorBox " + text);
        state.errorBoxes.push_back(text);
    };
}
