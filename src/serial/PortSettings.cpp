#include "serial/PortSettings.h"

#include "serial/SerialLineState.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr std::uint8_t kDefaultByteSize = 8;

// A search finds its pattern only at a position of 1 or more: the settings string's own
// rule, which keeps the baud rate's first digit from being read as data bits.
bool Found(std::size_t position) {
    return position != std::string_view::npos && position >= 1;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading decimal number as the C library's atoi reads it, except that a number too
// large for an int is held at the int's limit instead of being undefined.
std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

struct Marker {
    std::string_view text;
    std::uint8_t value;
};

}  // namespace

PortSettings ParsePortSettings(std::string_view text) {
    text = text.substr(0, text.find('\0'));

    PortSettings settings;
    settings.baudRate = LeadingNumber(text);

    constexpr std::array<Marker, 4> kByteSizes{{{"4,", 4}, {"5,", 5}, {"6,", 6}, {"7,", 7}}};
    settings.byteSize = kDefaultByteSize;
    for (const Marker& marker : kByteSizes) {
        if (Found(text.find(marker.text))) {
            settings.byteSize = marker.value;
            break;
        }
    }

    constexpr std::array<Marker, 4> kParities{
        {{"E", kEvenParity}, {"M", kMarkParity}, {"O", kOddParity}, {"S", kSpaceParity}}};
    settings.parity = kNoParity;
    for (const Marker& marker : kParities) {
        if (Found(text.find(marker.text[0]))) {
            settings.parity = marker.value;
            break;
        }
    }

    settings.stopBits = kOneStopBit;
    const std::size_t comma = text.find(',');
    if (Found(comma)) {
        if (Found(text.find("1.5", comma))) {
            settings.stopBits = kOne5StopBits;
        } else if (Found(text.find('2', comma))) {
            settings.stopBits = kTwoStopBits;
        }
    }
    return settings;
}
