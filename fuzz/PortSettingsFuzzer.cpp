#include "Require.h"
#include "serial/PortSettings.h"
#include "serial/TermiosMapping.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A search of the settings text counts only at a position of 1 or more.
bool Found(const std::string& text, const char* at) {
    return at != nullptr && at != text.c_str();
}

PortSettings ModelSettings(const std::string& text) {
    const char* s = text.c_str();
    PortSettings model;
    model.baudRate = static_cast<std::int32_t>(
        std::clamp<long long>(std::strtoll(s, nullptr, 10), INT_MIN, INT_MAX));
    for (const char* size : {"4,", "5,", "6,", "7,"}) {
        if (Found(text, std::strstr(s, size))) {
            model.byteSize = static_cast<std::uint8_t>(size[0] - '0');
            break;
        }
    }
    const std::pair<char, std::uint8_t> kParities[] = {
        {'E', kEvenParity}, {'M', kMarkParity}, {'O', kOddParity}, {'S', kSpaceParity}};
    for (const auto& [letter, parity] : kParities) {
        if (Found(text, std::strchr(s, letter))) {
            model.parity = parity;
            break;
        }
    }
    const char* comma = std::strchr(s, ',');
    if (Found(text, comma)) {
        model.stopBits = std::strstr(comma, "1.5") != nullptr ? kOne5StopBits
                         : std::strchr(comma, '2') != nullptr ? kTwoStopBits
                                                              : kOneStopBit;
    }
    return model;
}

bool LineTakes(const SerialLineState& state) {
    const bool stopBitsFit = state.StopBits == kOneStopBit ||
                             (state.StopBits == kOne5StopBits && state.ByteSize == 5) ||
                             (state.StopBits == kTwoStopBits && state.ByteSize != 5);
    const bool softwareFlow = (state.Flags & (kFlagOutX | kFlagInX)) != 0;
    return state.BaudRate != 0 && state.BaudRate <= INT_MAX && state.ByteSize >= 5 &&
           state.ByteSize <= 8 && state.Parity <= kSpaceParity && stopBitsFit &&
           !(softwareFlow && state.XonChar == state.XoffChar);
}

}  // namespace

// The settings text runs to the first zero byte; the four bytes after it, when there, give
// the line state's handshake flags and its XON and XOFF characters.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string text(input.substr(0, input.find('\0')));
    const PortSettings settings = ParsePortSettings(input);
    const PortSettings model = ModelSettings(text);
    Require(settings.baudRate == model.baudRate, "baud rate");
    Require(settings.byteSize == model.byteSize, "data bits");
    Require(settings.parity == model.parity, "parity");
    Require(settings.stopBits == model.stopBits, "stop bits");

    SerialLineState state;
    state.BaudRate = static_cast<std::uint32_t>(settings.baudRate);
    state.ByteSize = settings.byteSize;
    state.Parity = settings.parity;
    state.StopBits = settings.stopBits;
    const std::string_view tail = input.substr(std::min(text.size() + 1, size));
    if (tail.size() >= 4) {
        state.Flags = static_cast<std::uint8_t>(tail[0]) << 8 | static_cast<std::uint8_t>(tail[1]);
        state.XonChar = tail[2];
        state.XoffChar = tail[3];
    }

    // Every switch the mapping owns starts on, so a left-over one shows in the read-back.
    termios current;
    std::memset(&current, 0xFF, sizeof current);
    TermiosLine line;
    const int result = LineStateToTermios(state, current, line);
    Require(result == (LineTakes(state) ? 0 : EINVAL), "the line takes exactly the valid states");
    if (result == 0) {
        SerialLineState back = state;
        back.ByteSize = back.Parity = back.StopBits = 0xEE;
        back.Flags ^= kFlagOutX | kFlagInX;
        MergeTermiosIntoLineState(line.attributes, line.baudRate, back);
        Require(back.BaudRate == state.BaudRate && back.ByteSize == state.ByteSize &&
                    back.Parity == state.Parity && back.StopBits == state.StopBits &&
                    back.Flags == state.Flags && back.XonChar == state.XonChar &&
                    back.XoffChar == state.XoffChar,
                "the line state reads back");
        Require(line.customBaudRate == (StandardSpeedFor(state.BaudRate) == B0) &&
                    (line.customBaudRate ||
                     cfgetospeed(&line.attributes) == StandardSpeedFor(state.BaudRate)),
                "speed");
    }
    return 0;
}
