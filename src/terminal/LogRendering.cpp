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

LogByteRange SelectedLogBytes(const std::uint8_t* bytes, int count, int format, int start,
                              int end) {
    const bool items = format == kLineFormatDec || format == kLineFormatHex;
    if (!items && format != kLineFormatText) {
        return {};
    }
    const int digits = format == kLineFormatDec ? 3 : 2;
    LogByteRange selected{0, 0};
    // Where each byte's own text starts, the gaps and line breaks after it not included.
    int at = 0;
    for (int i = 0; i < count && at <= end; ++i) {
        int length = 0;
        int after = 0;
        if (items) {
            length = digits;
            after = static_cast<int>(kItemGap) +
                    ((i + 1) % kLogItemsPerLine == 0 ? static_cast<int>(kLineBreakChars) : 0);
        } else {
            const char c = static_cast<char>(bytes[i]);
            length = c == kCarriageReturn || c == kLineFeed ? static_cast<int>(kLineBreakChars)
                                                            : (c != '\0' ? 1 : 0);
        }
        const bool whole =
            start <= at && at + length <= end && (length > 0 || (start < at && at < end));
        if (whole) {
            selected.first = selected.count == 0 ? i : selected.first;
            ++selected.count;
        }
        at += length + after;
    }
    return selected;
}
