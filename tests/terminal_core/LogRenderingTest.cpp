#include "codec/LineFormat.h"
#include "terminal/LogRendering.h"

#include <array>
#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace {

std::string Render(const ByteArray& bytes, int format) {
    return RenderReceiveLog(bytes.data(), static_cast<int>(bytes.size()), format);
}

ByteArray Ascending(int first, int count) {
    ByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(first + i));
    }
    return bytes;
}

// The log as the formatting library writes it, item by item.
std::string FormattedLog(const ByteArray& bytes, const char* itemFormat) {
    std::string text;
    char item[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(item, sizeof item, itemFormat, bytes[i]);
        text += item;
        if ((i + 1) % 16 == 0) {
            text += "\r\n";
        }
    }
    return text;
}

struct RenderCase {
    const char* name;
    ByteArray bytes;
    int format;
    std::string text;
};

void PrintTo(const RenderCase& c, std::ostream* out) {
    *out << c.name;
}

class RenderTable : public testing::TestWithParam<RenderCase> {};

TEST_P(RenderTable, RendersExactText) {
    const RenderCase& c = GetParam();
    EXPECT_EQ(Render(c.bytes, c.format), c.text);
}

const std::string kSixteenHex = "00  01  02  03  04  05  06  07  08  09  0a  0b  0c  0d  0e  0f  ";

INSTANTIATE_TEST_SUITE_P(
    Items, RenderTable,
    testing::Values(
        RenderCase{"text_line_breaks", {0x41, 0x0D, 0x0A, 0x42}, kLineFormatText, "A\r\n\r\nB"},
        RenderCase{
            "dec_line_breaks", {0x41, 0x0D, 0x0A, 0x42}, kLineFormatDec, "065  013  010  066  "},
        RenderCase{"hex_line_breaks", {0x41, 0x0D, 0x0A, 0x42}, kLineFormatHex, "41  0d  0a  42  "},
        RenderCase{"text_lone_lf", {'a', 0x0A, 'b'}, kLineFormatText, "a\r\nb"},
        RenderCase{"text_lone_cr", {'a', 0x0D, 'b'}, kLineFormatText, "a\r\nb"},
        RenderCase{"text_lf_cr", {0x0A, 0x0D}, kLineFormatText, "\r\n\r\n"},
        RenderCase{"hex_sixteen", Ascending(0, 16), kLineFormatHex, kSixteenHex + "\r\n"},
        RenderCase{"hex_seventeen", Ascending(0, 17), kLineFormatHex, kSixteenHex + "\r\n10  "},
        RenderCase{"dec_seventeen", Ascending(240, 17), kLineFormatDec,
                   "240  241  242  243  244  245  246  247  248  249  250  251  252  253  "
                   "254  255  \r\n000  "},
        RenderCase{"text_nul_vanishes", {'a', 0x00, 0x00, 'b'}, kLineFormatText, "ab"},
        RenderCase{"text_only_nul", {0x00}, kLineFormatText, ""},
        RenderCase{"dec_nul", {0x00, 0x07}, kLineFormatDec, "000  007  "},
        RenderCase{"hex_nul", {0x00, 0xFF}, kLineFormatHex, "00  ff  "},
        RenderCase{"empty_text", {}, kLineFormatText, ""},
        RenderCase{"empty_dec", {}, kLineFormatDec, ""},
        RenderCase{"empty_hex", {}, kLineFormatHex, ""},
        RenderCase{"no_selection", {0x41, 0x42}, -1, ""},
        RenderCase{"format_three", {0x41, 0x42}, 3, ""}),
    [](const testing::TestParamInfo<RenderCase>& row) { return std::string(row.param.name); });

TEST(RenderReceiveLog, HighBytesInTextAreOneCharEach) {
    const ByteArray high = Ascending(0x80, 128);
    const std::string text = Render(high, kLineFormatText);
    ASSERT_EQ(text.size(), 128u);
    for (std::size_t i = 0; i < high.size(); ++i) {
        EXPECT_EQ(static_cast<std::uint8_t>(text[i]), high[i]) << "index " << i;
    }
}

TEST(RenderReceiveLog, EveryByteValueMatchesTheItemFormat) {
    const ByteArray all = Ascending(0, 256);
    EXPECT_EQ(Render(all, kLineFormatDec), FormattedLog(all, "%3.3d  "));
    EXPECT_EQ(Render(all, kLineFormatHex), FormattedLog(all, "%2.2x  "));
}

TEST(RenderReceiveLog, FullLogHasItsExactLength) {
    ByteArray full;
    for (int i = 0; i < 2048; ++i) {
        full.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    }
    const std::string dec = Render(full, kLineFormatDec);
    ASSERT_EQ(dec.size(), 10496u);
    for (std::size_t line = 0; line < 128; ++line) {
        EXPECT_EQ(dec.substr(line * 82 + 80, 2), "\r\n") << "line " << line;
    }
    EXPECT_EQ(dec, FormattedLog(full, "%3.3d  "));
    EXPECT_EQ(Render(full, kLineFormatHex).size(), 8448u);
}

TEST(RenderReceiveLog, CountLimitsTheBytesRendered) {
    const ByteArray bytes{0x01, 0x02, 0x03};
    EXPECT_EQ(RenderReceiveLog(bytes.data(), 2, kLineFormatHex), "01  02  ");
    EXPECT_EQ(RenderReceiveLog(bytes.data(), 0, kLineFormatHex), "");
    EXPECT_EQ(RenderReceiveLog(bytes.data(), -1, kLineFormatDec), "");
}

TEST(SelectedLogBytes, TakesTheBytesWhoseWholeTextIsSelected) {
    // 17 bytes: Hex and Dec lines break after the 16th; in Text, 0x0d and 0x0a are line breaks
    // of two characters and the NUL shows as nothing.
    ByteArray bytes = Ascending(0x20, 17);
    bytes[2] = '\r';
    bytes[3] = '\n';
    bytes[5] = '\0';
    // format, selection start and end, and the bytes selected: the first and how many
    for (const auto& [format, start, end, first, count] : std::initializer_list<std::array<int, 5>>{
             {kLineFormatHex, 0, 2, 0, 1},     // "20"
             {kLineFormatHex, 0, 1, 0, 0},     // half a byte
             {kLineFormatHex, 1, 9, 1, 1},     // half of the first, half of the third
             {kLineFormatHex, 0, 66, 0, 16},   // the whole first line, its break not
             {kLineFormatHex, 60, 67, 15, 1},  // the line break: 2f, not half of 30
             {kLineFormatHex, 60, 68, 15, 2},  // ...and across it to 30
             {kLineFormatDec, 4, 14, 1, 2},    // a gap before "033", "013" and one more
             {kLineFormatDec, 80, 87, 16, 1},  // the break and the second line's byte
             {kLineFormatText, 0, 2, 0, 2},    // "! "
             {kLineFormatText, 2, 3, 0, 0},    // half a line break
             {kLineFormatText, 0, 6, 0, 4},    // both breaks whole
             {kLineFormatText, 6, 8, 4, 3},    // the NUL between two selected characters
             {kLineFormatText, 7, 8, 6, 1},    // ...and not at the selection's start
             {kLineFormatText, 0, 100, 0, 17},
             {kLineFormatText, 5, 5, 0, 0},
             {7, 0, 10, 0, 0},
         }) {
        const LogByteRange selected =
            SelectedLogBytes(bytes.data(), static_cast<int>(bytes.size()), format, start, end);
        EXPECT_EQ(std::pair(selected.first, selected.count), std::pair(first, count))
            << format << " " << start << " " << end;
    }
}

}  // namespace
