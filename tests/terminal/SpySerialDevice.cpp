#include "SpySerialDevice.h"

#include "serial/SystemSerialDevice.h"

std::size_t SerialCallLog::Count(std::string_view call) const {
    std::size_t count = 0;
    for (const std::string& logged : calls) {
        count += logged == call ? 1 : 0;
    }
    return count;
}

std::vector<std::string> SerialCallLog::Matching(std::string_view prefix, std::size_t from) const {
    std::vector<std::string> found;
    for (std::size_t i = from; i < calls.size(); ++i) {
        if (calls[i].starts_with(prefix)) {
            found.push_back(calls[i]);
        }
    }
    return found;
}

SpySerialDevice::SpySerialDevice(SerialCallLog& log)
    : m_log(log), m_device(MakeSystemSerialDevice()) {}

SerialHandle SpySerialDevice::OpenDevice(const std::string& deviceName) {
    m_log.calls.push_back("OpenDevice " + deviceName);
    return m_device->OpenDevice(deviceName);
}

bool SpySerialDevice::GetLineState(SerialHandle handle, SerialLineState& state) {
    m_log.calls.push_back("GetLineState");
    return m_device->GetLineState(handle, state);
}

bool SpySerialDevice::SetLineState(SerialHandle handle, const SerialLineState& state) {
    m_log.calls.push_back("SetLineState");
    return m_device->SetLineState(handle, state);
}

bool SpySerialDevice::GetTimeouts(SerialHandle handle, SerialTimeouts& timeouts) {
    m_log.calls.push_back("GetTimeouts");
    return m_device->GetTimeouts(handle, timeouts);
}

bool SpySerialDevice::SetTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) {
    m_log.calls.push_back("SetTimeouts");
    return m_device->SetTimeouts(handle, timeouts);
}

bool SpySerialDevice::EscapeFunction(SerialHandle handle, std::uint32_t function) {
    m_log.calls.push_back("EscapeFunction " + std::to_string(function));
    return m_device->EscapeFunction(handle, function);
}

bool SpySerialDevice::ReadAvailable(SerialHandle handle, std::uint8_t* buffer, std::uint32_t count,
                                    std::uint32_t& countRead) {
    m_log.calls.push_back("ReadAvailable");
    return m_device->ReadAvailable(handle, buffer, count, countRead);
}

bool SpySerialDevice::Write(SerialHandle handle, const std::uint8_t* bytes, std::uint32_t count,
                            std::uint32_t& countWritten) {
    m_log.calls.push_back("Write " + std::to_string(count));
    return m_device->Write(handle, bytes, count, countWritten);
}

bool SpySerialDevice::Purge(SerialHandle handle, std::uint32_t flags) {
    m_log.calls.push_back("Purge");
    return m_device->Purge(handle, flags);
}

bool SpySerialDevice::CloseDevice(SerialHandle handle) {
    m_log.calls.push_back("CloseDevice");
    return m_device->CloseDevice(handle);
}

void SpySerialDevice::Sleep(std::uint32_t milliseconds) {
    m_log.calls.push_back("Sleep " + std::to_string(milliseconds));
    m_device->Sleep(milliseconds);
}

int SpySerialDevice::LastError() {
    return m_device->LastError();
}

bool SpySerialDevice::IsDeviceGoneError(int code) {
    return m_device->IsDeviceGoneError(code);
}

bool SpySerialDevice::DeviceExists(const std::string& deviceName) {
    m_log.calls.push_back("DeviceExists " + deviceName);
    return m_device->DeviceExists(deviceName);
}

std::string SpySerialDevice::ErrorText(int code) {
    return m_device->ErrorText(code);
}
