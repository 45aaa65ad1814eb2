#include "serial/CComPort.h"

#include "serial/PortSettings.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <utility>

namespace {

constexpr int kMillisecondsPerPoll = 10;

}  // namespace

CComPort::CComPort(std::unique_ptr<SerialDevice> device, ErrorReporter reportError)
    : m_device(std::move(device)), m_reportError(std::move(reportError)) {}

CComPort::~CComPort() {
    Close();
}

void CComPort::SetPortNumber(std::uint8_t nPort) {
    m_nPort = nPort;
}

void CComPort::SetTimeouts(int nTotalMs, int nIdleMs) {
    m_nMaxPolls = nTotalMs / kMillisecondsPerPoll;
    m_nIdlePolls = nIdleMs / kMillisecondsPerPoll;
}

int CComPort::Open(std::string_view lpszSettings) {
    // Our own copy: the caller's text may change while an error box of Close runs its loop.
    const std::string settings(lpszSettings);

    Close();
    m_bDeviceGone = false;

    m_hComm = m_device->OpenDevice(DeviceName());
    if (m_hComm == kInvalidSerialHandle) {
        ReportLastError();
        return 0;
    }

    SerialLineState state;
    state.DCBlength = sizeof(SerialLineState);
    m_device->GetLineState(m_hComm, state);
    state.Flags = (state.Flags & kBaselineKeptFlags) | kBaselineSetFlags;
    state.BaudRate = kBaselineBaudRate;
    state.ByteSize = kBaselineByteSize;
    state.Parity = kNoParity;
    state.StopBits = kOneStopBit;
    if (!m_device->SetLineState(m_hComm, state)) {
        ReportLastError();
        return 0;
    }

    if (!ApplySettings(settings)) {
        return 0;
    }

    SerialTimeouts timeouts;
    m_device->GetTimeouts(m_hComm, timeouts);
    timeouts.ReadIntervalTimeout = kReadIntervalReturnAtOnce;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = kWriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutConstantMs;
    if (!m_device->SetTimeouts(m_hComm, timeouts)) {
        ReportLastError();
        return 0;
    }

    m_device->EscapeFunction(m_hComm, kEscapeSetDtr);
    m_device->EscapeFunction(m_hComm, kEscapeSetRts);
    return 1;
}

int CComPort::Close() {
    if (m_hComm == kInvalidSerialHandle) {
        return 0;
    }
    if (!m_device->CloseDevice(m_hComm)) {
        ReportLastError();
        return 0;
    }
    m_hComm = kInvalidSerialHandle;
    return 1;
}

int CComPort::Read(std::uint8_t* pBuffer, int nSize) {
    if (IsClosed()) {
        return 0;
    }
    if (pBuffer == nullptr || nSize <= 0) {
        return 0;
    }
    int total = 0;
    int polls = 0;
    int idleAllowance = m_nIdlePolls;
    if (m_nMaxPolls <= 0) {
        return 0;
    }

    std::array<std::uint8_t, kReadStagingSize> staging;
    for (;;) {
        m_device->Sleep(kPollPauseMs);
        // Other code may have run during the pause and closed the channel.
        if (IsClosed()) {
            return 0;
        }

        const auto wanted = static_cast<std::uint32_t>(std::min(nSize - total, kReadStagingSize));
        std::uint32_t arrived = 0;
        if (!m_device->ReadAvailable(m_hComm, staging.data(), wanted, arrived)) {
            arrived = 0;
            CloseIfDeviceGone();
            if (IsClosed()) {
                return total;
            }
        }
        arrived = std::min(arrived, wanted);

        if (arrived > 0) {
            std::memcpy(pBuffer + total, staging.data(), arrived);
            total += static_cast<int>(arrived);
            idleAllowance = m_nIdlePolls;
            if (total >= nSize) {
                return total;
            }
        } else if (total > 0) {
            if (idleAllowance == 0) {
                return total;
            }
            --idleAllowance;
        }

        ++polls;
        if (polls >= m_nMaxPolls) {
            return total;
        }
    }
}

int CComPort::ReadWaiting(std::uint8_t* pBuffer, int nSize) {
    if (IsClosed() || pBuffer == nullptr || nSize <= 0) {
        return 0;
    }
    std::uint32_t arrived = 0;
    if (!m_device->ReadAvailable(m_hComm, pBuffer, static_cast<std::uint32_t>(nSize), arrived)) {
        CloseIfDeviceGone();
        return 0;
    }
    return static_cast<int>(std::min(arrived, static_cast<std::uint32_t>(nSize)));
}

int CComPort::Write(const std::uint8_t* pBytes, int nCount) {
    m_device->Sleep(kWritePauseMs);
    if (IsClosed()) {
        return 0;
    }
    if (pBytes == nullptr || nCount <= 0) {
        return 0;
    }
    std::uint32_t written = 0;
    if (!m_device->Write(m_hComm, pBytes, static_cast<std::uint32_t>(nCount), written)) {
        CloseIfDeviceGone();
    }
    return static_cast<int>(std::min(written, static_cast<std::uint32_t>(nCount)));
}

int CComPort::Purge() {
    if (const int closed = IsClosed()) {
        return closed;
    }
    if (m_hComm == kNullSerialHandle) {
        return 0;
    }
    return m_device->Purge(m_hComm, kPurgeTxClear | kPurgeRxClear) ? 1 : 0;
}

int CComPort::ApplySettings(std::string_view lpszSettings) {
    const std::string settingsText(lpszSettings);
    if (m_hComm == kInvalidSerialHandle) {
        return 0;
    }

    SerialLineState state;
    state.DCBlength = sizeof(SerialLineState);
    m_device->GetLineState(m_hComm, state);

    const PortSettings settings = ParsePortSettings(settingsText);
    state.BaudRate = static_cast<std::uint32_t>(settings.baudRate);
    state.ByteSize = settings.byteSize;
    state.Parity = settings.parity;
    state.StopBits = settings.stopBits;
    if (!m_device->SetLineState(m_hComm, state)) {
        ReportLastError();
        return 0;
    }
    return 1;
}

void CComPort::ReportLastError() {
    const int code = m_device->LastError();
    std::string text = m_device->ErrorText(code);
    if (text.empty()) {
        text = std::to_string(code);
    }
    m_reportError(text);
}

int CComPort::IsClosed() const {
    return m_hComm != kInvalidSerialHandle ? 0 : 1;
}

int CComPort::IsDeviceGone() const {
    return m_bDeviceGone ? 1 : 0;
}

int CComPort::IsDevicePresent() {
    return m_device->DeviceExists(DeviceName()) ? 1 : 0;
}

void CComPort::CloseIfDeviceGone() {
    if (m_hComm == kInvalidSerialHandle || !m_device->IsDeviceGoneError(m_device->LastError())) {
        return;
    }
    // Nothing to tell the user: closing a vanished device may fail, and the handle is dead.
    m_device->CloseDevice(m_hComm);
    m_hComm = kInvalidSerialHandle;
    m_bDeviceGone = true;
}

std::string CComPort::DeviceName() const {
    return std::string(kComDeviceNamePrefix) + std::to_string(m_nPort);
}
