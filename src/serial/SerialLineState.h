#pragma once

#include <cstdint>

// The line-state record of a serial device: baud rate, frame, handshake flags and the
// special characters, field for field as the platform record it stands for, so the flag
// arithmetic on it is the same code on every platform.
struct SerialLineState {
    std::uint32_t DCBlength = 0;  // set by the caller to sizeof(SerialLineState)
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;  // the bit fields below, fBinary in bit 0
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;
};

// Bits of SerialLineState::Flags.
constexpr std::uint32_t kFlagBinary = 1u << 0;
constexpr std::uint32_t kFlagParity = 1u << 1;
constexpr std::uint32_t kFlagOutxCtsFlow = 1u << 2;
constexpr std::uint32_t kFlagOutxDsrFlow = 1u << 3;
constexpr int kDtrControlShift = 4;
constexpr std::uint32_t kFlagDtrControl = 3u << kDtrControlShift;  // two bits
constexpr std::uint32_t kFlagDsrSensitivity = 1u << 6;
constexpr std::uint32_t kFlagTXContinueOnXoff = 1u << 7;
constexpr std::uint32_t kFlagOutX = 1u << 8;
constexpr std::uint32_t kFlagInX = 1u << 9;
constexpr std::uint32_t kFlagErrorChar = 1u << 10;
constexpr std::uint32_t kFlagNull = 1u << 11;
constexpr int kRtsControlShift = 12;
constexpr std::uint32_t kFlagRtsControl = 3u << kRtsControlShift;  // two bits
constexpr std::uint32_t kFlagAbortOnError = 1u << 14;

// Values of the two-bit DTR and RTS control fields.
constexpr std::uint32_t kDtrControlDisable = 0;
constexpr std::uint32_t kDtrControlEnable = 1;
constexpr std::uint32_t kDtrControlHandshake = 2;
constexpr std::uint32_t kRtsControlDisable = 0;
constexpr std::uint32_t kRtsControlEnable = 1;
constexpr std::uint32_t kRtsControlHandshake = 2;
constexpr std::uint32_t kRtsControlToggle = 3;

// Values of SerialLineState::Parity.
constexpr std::uint8_t kNoParity = 0;
constexpr std::uint8_t kOddParity = 1;
constexpr std::uint8_t kEvenParity = 2;
constexpr std::uint8_t kMarkParity = 3;
constexpr std::uint8_t kSpaceParity = 4;

// Values of SerialLineState::StopBits.
constexpr std::uint8_t kOneStopBit = 0;
constexpr std::uint8_t kOne5StopBits = 1;
constexpr std::uint8_t kTwoStopBits = 2;

inline std::uint32_t DtrControl(const SerialLineState& state) {
    return (state.Flags & kFlagDtrControl) >> kDtrControlShift;
}

inline std::uint32_t RtsControl(const SerialLineState& state) {
    return (state.Flags & kFlagRtsControl) >> kRtsControlShift;
}

inline void SetDtrControl(SerialLineState& state, std::uint32_t value) {
    state.Flags =
        (state.Flags & ~kFlagDtrControl) | ((value << kDtrControlShift) & kFlagDtrControl);
}

inline void SetRtsControl(SerialLineState& state, std::uint32_t value) {
    state.Flags =
        (state.Flags & ~kFlagRtsControl) | ((value << kRtsControlShift) & kFlagRtsControl);
}

static_assert(sizeof(SerialLineState) == 28, "the record keeps the platform record's layout");
