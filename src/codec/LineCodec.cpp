#include "codec/LineCodec.h"

#include "codec/LeadingNumber.h"

namespace {

constexpr char kFieldSeparator = ',';

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return 0;
}

// One Dec field: only the low eight bits of its number reach the byte, and those equal the
// true number modulo 256 however many digits it has.
std::uint8_t DecimalFieldToByte(std::string_view text) {
    return static_cast<std::uint8_t>(ReadLeadingNumber(text).wrapped & 0xFFu);
}

void AppendDigits(std::string& text, unsigned value, int width, unsigned base) {
    static constexpr char kDigits[] = "0123456789abcdef";
    char digits[3];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = kDigits[value % base];
        value /= base;
    }
    text.append(digits, static_cast<std::size_t>(width));
}

}  // namespace

void HexPairToByte(std::string_view text, std::uint8_t& value) {
    std::size_t high = 0;
    while (high < text.size() && (text[high] == ' ' || text[high] == '\t')) {
        ++high;
    }
    if (high >= text.size()) {
        value = 0;
        return;
    }
    const int highValue = HexDigitValue(text[high]);
    const int lowValue = high + 1 < text.size() ? HexDigitValue(text[high + 1]) : 0;
    value = static_cast<std::uint8_t>(highValue * 16 + lowValue);
}

int TextToBytes(ByteArray& bytes, int format, std::string_view text) {
    bytes.clear();
    if (format == kLineFormatText) {
        bytes.assign(text.begin(), text.end());
    } else if ((format == kLineFormatDec || format == kLineFormatHex) && !text.empty()) {
        std::size_t fieldStart = 0;
        for (;;) {
            const std::string_view rest = text.substr(fieldStart);
            if (format == kLineFormatDec) {
                bytes.push_back(DecimalFieldToByte(rest));
            } else {
                std::uint8_t value = 0;
                HexPairToByte(rest, value);
                bytes.push_back(value);
            }
            const std::size_t comma = text.find(kFieldSeparator, fieldStart);
            // A comma that ends the text opens no further field; one followed by anything does.
            if (comma == std::string_view::npos || comma + 1 == text.size()) {
                break;
            }
            fieldStart = comma + 1;
        }
    }
    return static_cast<int>(bytes.size());
}

void BytesToText(const ByteArray& bytes, int format, std::string& text) {
    text.clear();
    switch (format) {
        case kLineFormatText:
            text.assign(bytes.begin(), bytes.end());
            break;
        case kLineFormatDec:
            text.reserve(bytes.size() * 4);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (i > 0) {
                    text.push_back(kFieldSeparator);
                }
                AppendDigits(text, bytes[i], 3, 10);
            }
            break;
        case kLineFormatHex:
            text.reserve(bytes.size() * 3);
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (i > 0) {
                    text.push_back(kFieldSeparator);
                }
                AppendDigits(text, bytes[i], 2, 16);
            }
            break;
        default:
            break;
    }
}
