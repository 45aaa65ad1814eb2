#include "codec/LineCodec.h"
#include "codec/ModbusCrc16.h"
#include "terminal/SendLine.h"

#include <string>

#include <gtest/gtest.h>

namespace {

constexpr int kNoEntry = -1;

// One send line of the window: its edit field's text, its bytes and its remembered format,
// with the selector's current entry.
struct Line {
    std::string text;
    int selectorEntry = kLineFormatHex;
    int nLineFormat = -1;
    ByteArray bytes;

    void PickFormat(int entry) {
        selectorEntry = entry;
        text = ReparseSendLine(text, selectorEntry, bytes, nLineFormat).value_or(text);
    }

    ByteArray Send() {
        nLineFormat = -1;
        text = ReparseSendLine(text, selectorEntry, bytes, nLineFormat).value_or(text);
        return SendFrame(bytes, nLineFormat);
    }

    bool Mb() {
        const auto shown = ChecksumSendLine(text, selectorEntry, bytes, nLineFormat);
        if (shown) {
            text = *shown;
        }
        return shown.has_value();
    }
};

Line MakeLine(std::string text, int format) {
    return Line{std::move(text), format, format, {}};
}

struct SendCase {
    const char* name;
    std::string text;
    int format;
    ByteArray written;
    std::string shownAfter;
};

void PrintTo(const SendCase& c, std::ostream* out) {
    *out << c.name;
}

class SendTable : public testing::TestWithParam<SendCase> {};

TEST_P(SendTable, WritesTheFrameAndShowsTheCanonicalText) {
    const SendCase& c = GetParam();
    Line line = MakeLine(c.text, c.format);
    EXPECT_EQ(line.Send(), c.written);
    EXPECT_EQ(line.text, c.shownAfter);
    EXPECT_EQ(line.nLineFormat, c.format);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SendTable,
    testing::Values(SendCase{"text_at", "AT", kLineFormatText, {0x41, 0x54, 0x0D, 0x0A}, "AT"},
                    SendCase{"dec_at", "65,84", kLineFormatDec, {0x41, 0x54}, "065,084"},
                    SendCase{"hex_single_digit", "5", kLineFormatHex, {0x50}, "50"},
                    SendCase{"empty_text", "", kLineFormatText, {0x0D, 0x0A}, ""},
                    SendCase{"empty_dec", "", kLineFormatDec, {}, ""},
                    SendCase{"empty_hex", "", kLineFormatHex, {}, ""},
                    SendCase{"no_selection_keeps_text", "AT", kNoEntry, {}, "AT"}),
    [](const testing::TestParamInfo<SendCase>& row) { return std::string(row.param.name); });

TEST(SendFrame, LongTextLineSendsItsFirst1020BytesAndCrLf) {
    Line line = MakeLine(std::string(1500, 'x'), kLineFormatText);
    line.text[1019] = 'y';
    line.text[1020] = 'z';
    const ByteArray written = line.Send();
    ASSERT_EQ(written.size(), 1022u);
    EXPECT_EQ(written[1019], 'y');
    EXPECT_EQ(written[1020], 0x0D);
    EXPECT_EQ(written[1021], 0x0A);
    EXPECT_EQ(line.text.size(), 1500u);
}

TEST(SendFrame, LongHexLineSendsItsFirst1020Bytes) {
    const ByteArray bytes(1500, 0x33);
    EXPECT_EQ(SendFrame(bytes, kLineFormatHex), ByteArray(1020, 0x33));
    EXPECT_EQ(SendFrame(ByteArray(1020, 0x33), kLineFormatDec), ByteArray(1020, 0x33));
}

TEST(SendLine, SwitchingFormatsConvertsTheText) {
    Line line = MakeLine("AT", kLineFormatText);
    line.PickFormat(kLineFormatHex);
    EXPECT_EQ(line.text, "41,54");
    line.PickFormat(kLineFormatText);
    EXPECT_EQ(line.text, "AT");

    Line dec = MakeLine("1,3,10", kLineFormatDec);
    dec.PickFormat(kLineFormatHex);
    EXPECT_EQ(dec.text, "01,03,0a");
    dec.PickFormat(kLineFormatDec);
    EXPECT_EQ(dec.text, "001,003,010");
}

TEST(SendLine, UnsetRememberedFormatTakesTheSelectorsEntry) {
    Line line{"1,3,10", kLineFormatDec, -1, {}};
    line.PickFormat(kLineFormatDec);
    EXPECT_EQ(line.text, "001,003,010");
    EXPECT_EQ(line.nLineFormat, kLineFormatDec);
}

TEST(SendLine, TextShowsOnlyUpToTheFirstZeroByte) {
    Line line = MakeLine("41,00,42", kLineFormatHex);
    line.PickFormat(kLineFormatText);
    EXPECT_EQ(line.text, "A");
    EXPECT_EQ(line.bytes, (ByteArray{0x41, 0x00, 0x42}));
    EXPECT_EQ(line.Send(), (ByteArray{0x41, 0x0D, 0x0A}));
}

TEST(SendLineText, ZeroBytesCutOnlyTheTextFormat) {
    const ByteArray bytes{0x41, 0x00, 0x42};
    EXPECT_EQ(SendLineText(bytes, kLineFormatText), "A");
    EXPECT_EQ(SendLineText(bytes, kLineFormatDec), "065,000,066");
    EXPECT_EQ(SendLineText(bytes, kLineFormatHex), "41,00,42");
    EXPECT_EQ(SendLineText({0x00}, kLineFormatText), "");
    EXPECT_EQ(SendLineText(bytes, kNoEntry), "");
}

struct MbCase {
    const char* name;
    int format;
    std::string before;
    std::string after;
};

void PrintTo(const MbCase& c, std::ostream* out) {
    *out << c.name;
}

class MbTable : public testing::TestWithParam<MbCase> {};

TEST_P(MbTable, FillsTheChecksumAndIsStableWhenPressedAgain) {
    const MbCase& c = GetParam();
    Line line = MakeLine(c.before, c.format);
    ASSERT_TRUE(line.Mb());
    EXPECT_EQ(line.text, c.after);
    ASSERT_TRUE(line.Mb());
    EXPECT_EQ(line.text, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, MbTable,
    testing::Values(MbCase{"dec_request", kLineFormatDec, "1,3,0,0,0,10,0,0",
                           "001,003,000,000,000,010,197,205"},
                    MbCase{"hex_request", kLineFormatHex, "01,03,00,00,00,0a,00,00",
                           "01,03,00,00,00,0a,c5,cd"},
                    MbCase{"two_bytes", kLineFormatHex, "12,34", "ff,ff"}),
    [](const testing::TestParamInfo<MbCase>& row) { return std::string(row.param.name); });

// The checksum of "DAL" is 0x7000: its low byte, written first, is a zero byte, so the edit
// field shows the text only up to it.
TEST(ModbusChecksum, TextLineShowsItsTextUpToAZeroChecksumByte) {
    Line line = MakeLine("DAL??", kLineFormatText);
    ASSERT_TRUE(line.Mb());
    EXPECT_EQ(line.text, "DAL");
    EXPECT_EQ(line.bytes, (ByteArray{'D', 'A', 'L', 0x00, 0x70}));
}

TEST(ModbusChecksum, LinesTooShortForAChecksumStayAsTheyAre) {
    for (const std::string text : {"", "7"}) {
        Line line{text, kLineFormatHex, kLineFormatDec, {}};
        EXPECT_FALSE(line.Mb()) << '"' << text << '"';
        EXPECT_EQ(line.text, text);
        EXPECT_EQ(line.nLineFormat, kLineFormatDec);
    }
    Line noEntry{"01,02,03", kNoEntry, -1, {}};
    EXPECT_FALSE(noEntry.Mb());
    EXPECT_EQ(noEntry.text, "01,02,03");

    ByteArray one{0x5A};
    EXPECT_FALSE(WriteModbusChecksum(one));
    EXPECT_EQ(one, ByteArray{0x5A});
    ByteArray none;
    EXPECT_FALSE(WriteModbusChecksum(none));
    EXPECT_TRUE(none.empty());
}

TEST(ModbusChecksum, LongLineCoversAllButItsLastTwoBytes) {
    ByteArray bytes(3000);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    }
    const ByteArray original = bytes;
    ASSERT_TRUE(WriteModbusChecksum(bytes));
    const std::uint16_t crc = ModbusCrc16(original.data(), 2998);
    EXPECT_EQ(bytes[2998], crc & 0xFF);
    EXPECT_EQ(bytes[2999], crc >> 8);
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + 2998, bytes.begin()));

    // The same through the line, in Hex.
    std::string text;
    BytesToText(original, kLineFormatHex, text);
    Line line = MakeLine(text, kLineFormatHex);
    ASSERT_TRUE(line.Mb());
    EXPECT_EQ(line.bytes, bytes);
}

TEST(ModbusChecksum, FillsAfterAFormatChangeFromTheRememberedFormat) {
    // The remembered format still says Dec while the selector already shows Hex.
    Line line{"1,3,0,0,0,10,0,0", kLineFormatHex, kLineFormatDec, {}};
    ASSERT_TRUE(line.Mb());
    EXPECT_EQ(line.text, "01,03,00,00,00,0a,c5,cd");
    EXPECT_EQ(line.nLineFormat, kLineFormatHex);
}

}  // namespace
