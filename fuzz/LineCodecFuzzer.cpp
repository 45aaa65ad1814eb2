#include "Require.h"
#include "codec/LineCodec.h"
#include "codec/ModbusCrc16.h"
#include "terminal/SendLine.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

int HexDigit(char c) {
    const int u = static_cast<unsigned char>(c);
    if (!std::isxdigit(u)) {
        return 0;
    }
    return std::isdigit(u) ? u - '0' : std::tolower(u) - 'a' + 10;
}

// One Hex field: the first character after spaces and tabs and the one right after it.
std::uint8_t HexField(std::string_view rest) {
    const std::size_t high = rest.find_first_not_of(" \t");
    if (high == std::string_view::npos) {
        return 0;
    }
    const int low = high + 1 < rest.size() ? HexDigit(rest[high + 1]) : 0;
    return static_cast<std::uint8_t>(HexDigit(rest[high]) * 16 + low);
}

// One Dec field: atoi's reading, modulo 256.
std::uint8_t DecField(std::string_view rest) {
    std::size_t i = std::min(rest.find_first_not_of(" \t\n\v\f\r"), rest.size());
    const bool negative = i < rest.size() && rest[i] == '-';
    i += i < rest.size() && (rest[i] == '-' || rest[i] == '+') ? 1 : 0;
    unsigned value = 0;
    for (; i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])); ++i) {
        value = value * 10 + static_cast<unsigned>(rest[i] - '0');
    }
    return static_cast<std::uint8_t>(negative ? 0u - value : value);
}

// Fields start at the text's first character and after every comma that is not its last.
ByteArray ModelParse(int format, std::string_view text) {
    if (format == kLineFormatText) {
        return ByteArray(text.begin(), text.end());
    }
    ByteArray bytes;
    const bool fields = format == kLineFormatDec || format == kLineFormatHex;
    for (std::size_t start = 0; fields && start < text.size();) {
        const std::string_view rest = text.substr(start);
        bytes.push_back(format == kLineFormatDec ? DecField(rest) : HexField(rest));
        const std::size_t comma = rest.find(',');
        start = comma == std::string_view::npos ? text.size() : start + comma + 1;
    }
    return bytes;
}

std::string ModelRender(const ByteArray& bytes, int format) {
    if (format == kLineFormatText) {
        return std::string(bytes.begin(), bytes.end());
    }
    std::string text;
    char item[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(item, sizeof item, format == kLineFormatDec ? ",%3.3d" : ",%2.2x", bytes[i]);
        text += i == 0 ? item + 1 : item;  // no comma before the first
    }
    return text;
}

}  // namespace

// The first byte picks the format (3 stands for a selector without an entry), the rest is the
// line's text; the text's bytes are also rendered and parsed back in every format.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int format = data[0] % 4 == 3 ? -1 : data[0] % 4;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    ByteArray bytes{0xEE};
    const int count = TextToBytes(bytes, format, text);
    Require(bytes == ModelParse(format, text), "parsed bytes");
    Require(count == static_cast<int>(bytes.size()), "parse count");

    // Any bytes render canonically and parse back, so parsing a rendering is stable too.
    const ByteArray raw(text.begin(), text.end());
    std::string canonical;
    ByteArray again;
    for (const int each : {kLineFormatText, kLineFormatDec, kLineFormatHex}) {
        BytesToText(raw, each, canonical);
        Require(canonical == ModelRender(raw, each), "rendered bytes");
        Require(TextToBytes(again, each, canonical) == static_cast<int>(raw.size()) && again == raw,
                "rendered bytes parse back");
    }

    const ByteArray frame = SendFrame(bytes, format);
    const std::size_t sent = std::min<std::size_t>(bytes.size(), kMaxSendBytes);
    ByteArray expected(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(sent));
    if (format == kLineFormatText) {
        expected.insert(expected.end(), {0x0D, 0x0A});
    }
    Require(frame == expected, "send frame");

    ByteArray filled = bytes;
    const bool written = WriteModbusChecksum(filled);
    if (bytes.size() < 2) {
        Require(!written && filled == bytes, "line too short for a checksum stays");
    } else {
        const auto covered = static_cast<std::ptrdiff_t>(bytes.size() - 2);
        Require(written && filled.size() == bytes.size() &&
                    std::equal(bytes.begin(), bytes.begin() + covered, filled.begin()),
                "checksum fills only the last two bytes");
        Require(ModbusCrc16(filled.data(), static_cast<std::uint32_t>(filled.size())) == 0,
                "filled frame checks to zero");
    }
    return 0;
}
