#include "serial/PortSettings.h"

#include "codec/LeadingNumber.h"
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

struct Marker {
    std::string_view text;
    std::uint8_t value;
};

}  // namespace

PortSettings ParsePortSettings(std::string_view text) {
    text = text.substr(0, text.find('\0'));

    PortSettings settings;
    // A number too large for an int is held at the int's limit.
    settings.baudRate = ReadLeadingNumber(text).saturated;

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
