#include "app/PortNumberCheck.h"

#include "codec/LeadingNumber.h"

namespace {

constexpr unsigned kLargestByte = 255;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view UpToZero(std::string_view text) {
    const std::size_t end = text.find('\0');
    return end == std::string_view::npos ? text : text.substr(0, end);
}

// The number the text holds, or nothing when the text is not one number from 0 to 255.
std::optional<std::uint8_t> ReadByte(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    const char first = i < text.size() ? text[i] : '\0';
    if (first == '-') {
        return std::nullopt;
    }
    if (first == '+') {
        ++i;
    }
    unsigned value = 0;
    bool tooLarge = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > kLargestByte) {
            tooLarge = true;
            value = kLargestByte + 1;  // stays above the bound however many digits follow
        }
    }
    if (value == 0 && first != '0') {
        return std::nullopt;
    }
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i != text.size() || tooLarge) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(value);
}

}  // namespace

PortNumberCheck CheckPortNumber(std::string_view fieldText) {
    const std::optional<std::uint8_t> number = ReadByte(UpToZero(fieldText));
    if (!number) {
        return {std::nullopt, kNotAByteMessage};
    }
    if (*number < kPortNumberMin || *number > kPortNumberMax) {
        return {number, RangeMessage(kPortNumberMin, kPortNumberMax)};
    }
    return {number, {}};
}

std::string RangeMessage(int min, int max) {
    std::string message = kRangeMessageFormat;
    message.replace(message.find("%1"), 2, std::to_string(min));
    message.replace(message.find("%2"), 2, std::to_string(max));
    return message;
}

std::uint8_t PortNumberFromText(std::string_view fieldText) {
    // atoi's int keeps the low 8 bits of any number; the wrapped reading keeps them too.
    return static_cast<std::uint8_t>(ReadLeadingNumber(UpToZero(fieldText)).wrapped & 0xFFu);
}
