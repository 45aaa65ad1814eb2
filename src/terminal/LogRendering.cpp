#include "terminal/LogRendering.h"

#include "codec/LineFormat.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
// Every item is followed by two spaces, the last one of a line too.
constexpr std::size_t kItemGap = 2;
constexpr std::size_t kLineBreakChars = 2;
constexpr char kHexDigits[] = "0123456789abcdef";

// Text: a line feed gets a carriage return before it, a carriage return a line feed after
// it, so both show as a line break whatever the device sends; NUL bytes would cut the view.
std::string RenderText(const std::uint8_t* bytes, std::size_t count) {
    std::string text(count * 2, '\0');
    char* out = text.data();
    for (std::size_t i = 0; i < count; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == kLineFeed || c == kCarriageReturn) {
            *out++ = kCarriageReturn;
            *out++ = kLineFeed;
            continue;
        }
        *out = c;
        out += c != '\0' ? 1 : 0;
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

// Dec items by table: three digits per byte value, looked up rather than divided.
constexpr auto kDecimalItems = [] {
    std::array<std::array<char, 3>, 256> items{};
    for (int b = 0; b < 256; ++b) {
        items[static_cast<std::size_t>(b)] = {static_cast<char>('0' + b / 100),
                                              static_cast<char>('0' + b / 10 % 10),
                                              static_cast<char>('0' + b % 10)};
    }
    return items;
}();

// Dec and Hex, bytes `from` to `count` - 1: fixed-width items, so the exact length is known
// and the text is written in place without formatting calls.
template <std::size_t Digits, typename WriteDigits>
std::string RenderItems(const std::uint8_t* bytes, std::size_t from, std::size_t count,
                        WriteDigits writeDigits) {
    constexpr std::size_t kItemsPerLine = kLogItemsPerLine;
    const std::size_t lineBreaks = count / kItemsPerLine - from / kItemsPerLine;
    std::string text((count - from) * (Digits + kItemGap) + lineBreaks * kLineBreakChars, ' ');
    char* out = text.data();
    for (std::size_t i = from; i < count;) {
        // Lines are counted from the log's first byte, wherever this text starts.
        const std::size_t lineEnd = std::min((i / kItemsPerLine + 1) * kItemsPerLine, count);
        for (; i < lineEnd; ++i) {
            writeDigits(out, bytes[i]);
            out += Digits + kItemGap;  // the gap is already blank
        }
        if (i % kItemsPerLine == 0) {
            *out++ = kCarriageReturn;
            *out++ = kLineFeed;
        }
    }
    return text;
}

}  // namespace

std::string RenderReceiveLog(const std::uint8_t* bytes, int count, int format) {
    return RenderReceiveLogFrom(bytes, 0, count, format);
}

std::string RenderReceiveLogFrom(const std::uint8_t* bytes, int from, int count, int format) {
    if (from < 0 || count <= from) {
        return {};
    }
    const auto first = static_cast<std::size_t>(from);
    const auto n = static_cast<std::size_t>(count);
    switch (format) {
        case kLineFormatText:
            return RenderText(bytes + first, n - first);
        case kLineFormatDec:
            return RenderItems<3>(bytes, first, n, [](char* out, std::uint8_t b) {
                const auto& item = kDecimalItems[b];
                out[0] = item[0];
                out[1] = item[1];
                out[2] = item[2];
            });
        case kLineFormatHex:
            return RenderItems<2>(bytes, first, n, [](char* out, std::uint8_t b) {
                out[0] = kHexDigits[b >> 4];
                out[1] = kHexDigits[b & 0x0F];
            });
        default:
            return {};
    }
}
