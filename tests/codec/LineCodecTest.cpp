#include "codec/LineCodec.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct CodecCase {
    int format;
    std::string text;
    ByteArray bytes;
    std::string rendered;
};

std::string FormatName(int format) {
    switch (format) {
        case kLineFormatText:
            return "Text";
        case kLineFormatDec:
            return "Dec";
        case kLineFormatHex:
            return "Hex";
        default:
            return "format " + std::to_string(format);
    }
}

void PrintTo(const CodecCase& c, std::ostream* out) {
    *out << FormatName(c.format) << " \"" << c.text << '"';
}

class TextToBytesTable : public testing::TestWithParam<CodecCase> {};

TEST_P(TextToBytesTable, ParsesAndRendersCanonically) {
    const CodecCase& c = GetParam();
    ByteArray bytes{0xEE, 0xEE};  // left-overs that the parse must clear
    const int count = TextToBytes(bytes, c.format, c.text);
    EXPECT_EQ(bytes, c.bytes) << FormatName(c.format) << " text \"" << c.text << "\"";
    EXPECT_EQ(count, static_cast<int>(c.bytes.size()));

    std::string rendered = "left-over";
    BytesToText(bytes, c.format, rendered);
    EXPECT_EQ(rendered, c.rendered) << FormatName(c.format) << " text \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, TextToBytesTable,
    testing::Values(CodecCase{kLineFormatDec, "", {}, ""},
                    CodecCase{kLineFormatDec,
                              "1,3,0,0,0,10,0,0",
                              {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00},
                              "001,003,000,000,000,010,000,000"},
                    CodecCase{kLineFormatDec, ",", {0x00}, "000"},
                    CodecCase{kLineFormatDec, "1,", {0x01}, "001"},
                    CodecCase{kLineFormatDec, "1,,2", {0x01, 0x00, 0x02}, "001,000,002"},
                    CodecCase{kLineFormatDec, "1, 2 , 3", {0x01, 0x02, 0x03}, "001,002,003"},
                    CodecCase{kLineFormatDec, "12abc", {0x0C}, "012"},
                    CodecCase{kLineFormatDec, "1 2,3", {0x01, 0x03}, "001,003"},
                    CodecCase{kLineFormatDec, "-1", {0xFF}, "255"},
                    CodecCase{kLineFormatDec, "256", {0x00}, "000"},
                    CodecCase{kLineFormatDec, "300", {0x2C}, "044"},
                    CodecCase{kLineFormatDec, "1000", {0xE8}, "232"},
                    CodecCase{kLineFormatDec, "abc", {0x00}, "000"},
                    CodecCase{kLineFormatDec, "+7", {0x07}, "007"},
                    CodecCase{kLineFormatDec, "\t\n\v\f\r 9", {0x09}, "009"},
                    // Overflows a 32-bit accumulator; only the number modulo 256 counts.
                    CodecCase{kLineFormatDec, "99999999999999999999", {0xFF}, "255"},
                    CodecCase{kLineFormatDec, "-4294967297", {0xFF}, "255"},
                    CodecCase{kLineFormatHex, "", {}, ""},
                    CodecCase{kLineFormatHex,
                              "01,03,00,00,00,0A,00,00",
                              {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00},
                              "01,03,00,00,00,0a,00,00"},
                    CodecCase{kLineFormatHex, "5", {0x50}, "50"},
                    CodecCase{kLineFormatHex, "5,6", {0x50, 0x60}, "50,60"},
                    CodecCase{kLineFormatHex, "1,2,3", {0x10, 0x20, 0x30}, "10,20,30"},
                    CodecCase{kLineFormatHex, " 1A", {0x1A}, "1a"},
                    CodecCase{kLineFormatHex, "0x12", {0x00}, "00"},
                    CodecCase{kLineFormatHex, "1A2B", {0x1A}, "1a"},
                    CodecCase{kLineFormatHex, "ZZ", {0x00}, "00"},
                    CodecCase{kLineFormatHex, "G1", {0x01}, "01"},
                    CodecCase{kLineFormatHex, "fF", {0xFF}, "ff"},
                    CodecCase{kLineFormatHex, "01,", {0x01}, "01"},
                    CodecCase{kLineFormatHex, "01, ", {0x01, 0x00}, "01,00"},
                    CodecCase{kLineFormatHex, "01,,52", {0x01, 0x05, 0x52}, "01,05,52"},
                    CodecCase{kLineFormatHex, ",", {0x00}, "00"},
                    CodecCase{kLineFormatHex, "\t \t", {0x00}, "00"},
                    CodecCase{kLineFormatHex, "1, 2", {0x10, 0x20}, "10,20"},
                    // Only spaces and tabs are skipped before the high digit.
                    CodecCase{kLineFormatHex, "\n12", {0x01}, "01"},
                    // A character above 0x7F is no digit.
                    CodecCase{kLineFormatHex, "\xC1\x41", {0x0A}, "0a"},
                    CodecCase{kLineFormatText, "AT", {0x41, 0x54}, "AT"},
                    CodecCase{kLineFormatText, "", {}, ""},
                    CodecCase{kLineFormatText,
                              "a, \\\"b\r\n",
                              {'a', ',', ' ', '\\', '"', 'b', '\r', '\n'},
                              "a, \\\"b\r\n"},
                    CodecCase{-1, "1,2,3", {}, ""}, CodecCase{3, "AT", {}, ""}));

TEST(LineCodec, TextBytesRenderInEveryFormat) {
    const ByteArray at{0x41, 0x54};
    std::string text;
    BytesToText(at, kLineFormatDec, text);
    EXPECT_EQ(text, "065,084");
    BytesToText(at, kLineFormatHex, text);
    EXPECT_EQ(text, "41,54");
    BytesToText(at, kLineFormatText, text);
    EXPECT_EQ(text, "AT");
}

TEST(LineCodec, ZeroByteStaysInsideRenderedText) {
    std::string text;
    BytesToText({0x41, 0x00, 0x42}, kLineFormatText, text);
    EXPECT_EQ(text, std::string("A\0B", 3));
}

TEST(LineCodec, UnknownFormatsGiveNothingInBothDirections) {
    for (const int format : {-1, 3, 99, -100}) {
        ByteArray bytes{1, 2, 3};
        EXPECT_EQ(TextToBytes(bytes, format, "41,42"), 0) << format;
        EXPECT_TRUE(bytes.empty()) << format;
        std::string text = "x";
        BytesToText({0x41, 0x42}, format, text);
        EXPECT_TRUE(text.empty()) << format;
    }
}

TEST(HexPairToByte, LowDigitComesFromAcrossTheComma) {
    struct Case {
        std::string text;
        std::uint8_t expected;
    } const cases[] = {
        {"5", 0x50},  {"5,6", 0x50},    {",52", 0x05}, {"  a", 0xA0}, {"", 0x00},
        {"  ", 0x00}, {"\t\t7f", 0x7F}, {"ab", 0xAB},  {"A,", 0xA0},  {"x1", 0x01},
    };
    for (const Case& c : cases) {
        std::uint8_t value = 0x99;
        HexPairToByte(c.text, value);
        EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
    }
}

// The field runs to the end of the line, not to the first zero character: a text holding
// a zero character is neither cut short nor read beyond its length.
TEST(HexPairToByte, ZeroCharacterIsAnOrdinaryNonDigit) {
    std::uint8_t value = 0x99;
    HexPairToByte(std::string_view("\0"
                                   "5",
                                   2),
                  value);
    EXPECT_EQ(value, 0x05);
    HexPairToByte(std::string_view("5\0", 2), value);
    EXPECT_EQ(value, 0x50);

    // The view ends after the high digit, though memory beyond it holds a digit.
    const char line[] = "5F";
    HexPairToByte(std::string_view(line, 1), value);
    EXPECT_EQ(value, 0x50);

    ByteArray bytes;
    TextToBytes(bytes, kLineFormatHex,
                std::string_view("41\0,\0"
                                 "2,7",
                                 8));
    EXPECT_EQ(bytes, (ByteArray{0x41, 0x02, 0x70}));
    TextToBytes(bytes, kLineFormatDec,
                std::string_view("4\0"
                                 "1,2",
                                 5));
    EXPECT_EQ(bytes, (ByteArray{0x04, 0x02}));
}

TEST(LineCodecProperty, TextRoundTripsEveryByteValue) {
    ByteArray all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    }
    std::string text;
    BytesToText(all, kLineFormatText, text);
    ASSERT_EQ(text.size(), 256u);
    ByteArray parsed;
    TextToBytes(parsed, kLineFormatText, text);
    EXPECT_EQ(parsed, all);
}

}  // namespace
