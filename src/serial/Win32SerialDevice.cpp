#include "serial/Win32SerialDevice.h"

#include "win32/SystemErrorText.h"

#include <cstddef>
#include <windows.h>

// The records are the system's own, so the channel's arithmetic on them holds here unchanged.
static_assert(sizeof(SerialLineState) == sizeof(DCB));
static_assert(offsetof(SerialLineState, BaudRate) == offsetof(DCB, BaudRate));
static_assert(offsetof(SerialLineState, XonLim) == offsetof(DCB, XonLim));
static_assert(offsetof(SerialLineState, ByteSize) == offsetof(DCB, ByteSize));
static_assert(offsetof(SerialLineState, EvtChar) == offsetof(DCB, EvtChar));
static_assert(sizeof(SerialTimeouts) == sizeof(COMMTIMEOUTS));
static_assert(kReadIntervalReturnAtOnce == MAXDWORD);
static_assert(kEscapeSetRts == SETRTS && kEscapeClearRts == CLRRTS);
static_assert(kEscapeSetDtr == SETDTR && kEscapeClearDtr == CLRDTR);
static_assert(kPurgeTxClear == PURGE_TXCLEAR && kPurgeRxClear == PURGE_RXCLEAR);

namespace {

// The 17 bits of the flags word above fAbortOnError.
constexpr int kReservedFlagsShift = 15;
constexpr std::uint32_t kReservedFlagsMask = 0x1FFFF;
// The DTR and RTS control fields' two bits.
constexpr std::uint32_t kControlFieldMask = 3;

// Until the channel sets its own: reads return at once, a write of n bytes waits at most
// 1000 + 10 * n ms.
constexpr DWORD kWriteTimeoutPerByteAtOpenMs = 10;
constexpr DWORD kWriteTimeoutConstantAtOpenMs = 1000;
constexpr COMMTIMEOUTS kTimeoutsAtOpen{MAXDWORD, 0, 0, kWriteTimeoutPerByteAtOpenMs,
                                       kWriteTimeoutConstantAtOpenMs};

// The driver's queues asked for at open: a second at 3 Mbaud coming in.
constexpr DWORD kInputQueueBytes = 300 * 1024;
constexpr DWORD kOutputQueueBytes = 4096;

HANDLE AsHandle(SerialHandle handle) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle));
}

bool FlagSet(const SerialLineState& state, std::uint32_t flag) {
    return (state.Flags & flag) != 0;
}

std::uint32_t FlagIf(DWORD bit, std::uint32_t flag) {
    return bit != 0 ? flag : 0;
}

// Every field, each flow-control bit included: a device can start with XON/XOFF on (Wine
// copies a pseudo-terminal's into its first record), and a bit not written would stay on and
// swallow the bytes 0x11 and 0x13.
DCB ToDcb(const SerialLineState& state) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = state.BaudRate;
    dcb.fBinary = FlagSet(state, kFlagBinary);
    dcb.fParity = FlagSet(state, kFlagParity);
    dcb.fOutxCtsFlow = FlagSet(state, kFlagOutxCtsFlow);
    dcb.fOutxDsrFlow = FlagSet(state, kFlagOutxDsrFlow);
    dcb.fDtrControl = DtrControl(state) & kControlFieldMask;
    dcb.fDsrSensitivity = FlagSet(state, kFlagDsrSensitivity);
    dcb.fTXContinueOnXoff = FlagSet(state, kFlagTXContinueOnXoff);
    dcb.fOutX = FlagSet(state, kFlagOutX);
    dcb.fInX = FlagSet(state, kFlagInX);
    dcb.fErrorChar = FlagSet(state, kFlagErrorChar);
    dcb.fNull = FlagSet(state, kFlagNull);
    dcb.fRtsControl = RtsControl(state) & kControlFieldMask;
    dcb.fAbortOnError = FlagSet(state, kFlagAbortOnError);
    // GCC cannot tell that the masked bits fit the 17-bit field.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
    dcb.fDummy2 = (state.Flags >> kReservedFlagsShift) & kReservedFlagsMask;
#pragma GCC diagnostic pop
    dcb.wReserved = state.wReserved;
    dcb.XonLim = state.XonLim;
    dcb.XoffLim = state.XoffLim;
    dcb.ByteSize = state.ByteSize;
    dcb.Parity = state.Parity;
    dcb.StopBits = state.StopBits;
    dcb.XonChar = state.XonChar;
    dcb.XoffChar = state.XoffChar;
    dcb.ErrorChar = state.ErrorChar;
    dcb.EofChar = state.EofChar;
    dcb.EvtChar = state.EvtChar;
    dcb.wReserved1 = state.wReserved1;
    return dcb;
}

SerialLineState FromDcb(const DCB& dcb) {
    SerialLineState state;
    state.DCBlength = sizeof(SerialLineState);
    state.BaudRate = dcb.BaudRate;
    state.Flags =
        FlagIf(dcb.fBinary, kFlagBinary) | FlagIf(dcb.fParity, kFlagParity) |
        FlagIf(dcb.fOutxCtsFlow, kFlagOutxCtsFlow) | FlagIf(dcb.fOutxDsrFlow, kFlagOutxDsrFlow) |
        FlagIf(dcb.fDsrSensitivity, kFlagDsrSensitivity) |
        FlagIf(dcb.fTXContinueOnXoff, kFlagTXContinueOnXoff) | FlagIf(dcb.fOutX, kFlagOutX) |
        FlagIf(dcb.fInX, kFlagInX) | FlagIf(dcb.fErrorChar, kFlagErrorChar) |
        FlagIf(dcb.fNull, kFlagNull) | FlagIf(dcb.fAbortOnError, kFlagAbortOnError) |
        static_cast<std::uint32_t>(dcb.fDummy2) << kReservedFlagsShift;
    SetDtrControl(state, dcb.fDtrControl);
    SetRtsControl(state, dcb.fRtsControl);
    state.wReserved = dcb.wReserved;
    state.XonLim = dcb.XonLim;
    state.XoffLim = dcb.XoffLim;
    state.ByteSize = dcb.ByteSize;
    state.Parity = dcb.Parity;
    state.StopBits = dcb.StopBits;
    state.XonChar = dcb.XonChar;
    state.XoffChar = dcb.XoffChar;
    state.ErrorChar = dcb.ErrorChar;
    state.EofChar = dcb.EofChar;
    state.EvtChar = dcb.EvtChar;
    state.wReserved1 = dcb.wReserved1;
    return state;
}

}  // namespace

SerialHandle Win32SerialDevice::OpenDevice(const std::string& deviceName) {
    const HANDLE device = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        Fail();
        return kInvalidSerialHandle;
    }
    // A queue that holds well over a tick at the fastest rates, so that nothing is lost between
    // two ticks; a driver that refuses keeps its own, and the device works all the same.
    SetupComm(device, kInputQueueBytes, kOutputQueueBytes);
    // Not examined: the channel sets and checks its own time-outs right after.
    COMMTIMEOUTS timeouts = kTimeoutsAtOpen;
    SetCommTimeouts(device, &timeouts);
    return SerialHandle{reinterpret_cast<std::intptr_t>(device)};
}

bool Win32SerialDevice::GetLineState(SerialHandle handle, SerialLineState& state) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!GetCommState(AsHandle(handle), &dcb)) {
        return Fail();
    }
    state = FromDcb(dcb);
    return true;
}

bool Win32SerialDevice::SetLineState(SerialHandle handle, const SerialLineState& state) {
    DCB dcb = ToDcb(state);
    if (!SetCommState(AsHandle(handle), &dcb)) {
        return Fail();
    }
    return true;
}

bool Win32SerialDevice::GetTimeouts(SerialHandle handle, SerialTimeouts& timeouts) {
    COMMTIMEOUTS record{};
    if (!GetCommTimeouts(AsHandle(handle), &record)) {
        return Fail();
    }
    timeouts.ReadIntervalTimeout = record.ReadIntervalTimeout;
    timeouts.ReadTotalTimeoutMultiplier = record.ReadTotalTimeoutMultiplier;
    timeouts.ReadTotalTimeoutConstant = record.ReadTotalTimeoutConstant;
    timeouts.WriteTotalTimeoutMultiplier = record.WriteTotalTimeoutMultiplier;
    timeouts.WriteTotalTimeoutConstant = record.WriteTotalTimeoutConstant;
    return true;
}

bool Win32SerialDevice::SetTimeouts(SerialHandle handle, const SerialTimeouts& timeouts) {
    COMMTIMEOUTS record{timeouts.ReadIntervalTimeout, timeouts.ReadTotalTimeoutMultiplier,
                        timeouts.ReadTotalTimeoutConstant, timeouts.WriteTotalTimeoutMultiplier,
                        timeouts.WriteTotalTimeoutConstant};
    if (!SetCommTimeouts(AsHandle(handle), &record)) {
        return Fail();
    }
    return true;
}

bool Win32SerialDevice::EscapeFunction(SerialHandle handle, std::uint32_t function) {
    if (!EscapeCommFunction(AsHandle(handle), function)) {
        return Fail();
    }
    return true;
}

bool Win32SerialDevice::ReadAvailable(SerialHandle handle, std::uint8_t* buffer,
                                      std::uint32_t count, std::uint32_t& countRead) {
    DWORD read = 0;
    const BOOL done = ReadFile(AsHandle(handle), buffer, count, &read, nullptr);
    countRead = read;
    return done ? true : Fail();
}

bool Win32SerialDevice::Write(SerialHandle handle, const std::uint8_t* bytes, std::uint32_t count,
                              std::uint32_t& countWritten) {
    DWORD written = 0;
    const BOOL done = WriteFile(AsHandle(handle), bytes, count, &written, nullptr);
    countWritten = written;
    return done ? true : Fail();
}

bool Win32SerialDevice::Purge(SerialHandle handle, std::uint32_t flags) {
    if (!PurgeComm(AsHandle(handle), flags)) {
        return Fail();
    }
    return true;
}

bool Win32SerialDevice::CloseDevice(SerialHandle handle) {
    if (!CloseHandle(AsHandle(handle))) {
        return Fail();
    }
    return true;
}

void Win32SerialDevice::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

int Win32SerialDevice::LastError() {
    return m_lastError;
}

bool Win32SerialDevice::IsDeviceGoneError(int code) {
    return code == ERROR_DEVICE_NOT_CONNECTED || code == ERROR_BAD_COMMAND ||
           code == ERROR_ACCESS_DENIED || code == ERROR_GEN_FAILURE;
}

bool Win32SerialDevice::DeviceExists(const std::string& deviceName) {
    // The system's name for the device, "COM<n>", is defined exactly while the port is there.
    if (deviceName.rfind(kComDeviceNamePrefix, 0) != 0) {
        return false;
    }
    const std::string dosName = "COM" + deviceName.substr(kComDeviceNamePrefix.size());
    char target[MAX_PATH];
    return QueryDosDeviceA(dosName.c_str(), target, MAX_PATH) != 0;
}

std::string Win32SerialDevice::ErrorText(int code) {
    return SystemErrorText(static_cast<unsigned long>(code));
}

bool Win32SerialDevice::Fail() {
    m_lastError = static_cast<int>(GetLastError());
    return false;
}
