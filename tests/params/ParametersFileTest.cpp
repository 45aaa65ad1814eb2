#include "FileBytes.h"
#include "params/ParametersFile.h"
#include "params/TextModeReader.h"
#include "support/TemporaryFolder.h"

#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>

#include <gtest/gtest.h>

void PrintTo(const LoadedSendLine& line, std::ostream* out) {
    *out << "{format " << line.format << ", "
         << (line.text ? testing::PrintToString(*line.text) : std::string("no text")) << '}';
}

namespace {

using namespace std::string_literals;

// Each line's characters, then CR LF.
std::string CrLfLines(std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

// Send line 1 in Text holding AT, 2 in Hex, 3 in Dec, 4 and 5 in Text and empty.
const SendLinesToSave kExample{{
    {0, "AT"},
    {2, "01,03,00,00,00,01"},
    {1, "001,002,003"},
    {0, ""},
    {0, ""},
}};
const std::string kExampleBytes =
    CrLfLines({"0", "AT", "2", "01,03,00,00,00,01", "1", "001,002,003", "0", "", "0", ""});
const LoadedSendLines kExampleLoaded{{
    {0, "AT"},
    {2, "01,03,00,00,00,01"},
    {1, "001,002,003"},
    {0, ""},
    {0, ""},
}};

LoadedSendLines LoadBytes(const std::string& bytes) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, bytes);
    const std::optional<LoadedSendLines> lines = LoadParametersFile(path);
    EXPECT_TRUE(lines.has_value());
    return lines.value_or(LoadedSendLines{});
}

std::string SavedBytes(const SendLinesToSave& lines) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    EXPECT_TRUE(SaveParametersFile(path, lines));
    return ReadFileBytes(path);
}

// Five send lines that all got `format` and no text.
LoadedSendLines AllWithoutText(int format) {
    LoadedSendLines lines;
    for (LoadedSendLine& line : lines) {
        line = {format, std::nullopt};
    }
    return lines;
}

TEST(ParametersFile, SaveWritesTheExampleByteForByte) {
    const std::string bytes = SavedBytes(kExample);
    EXPECT_EQ(bytes.size(), 55u);
    EXPECT_EQ(bytes, kExampleBytes);
}

TEST(ParametersFile, FirstSaveWithNothingSelectedIsThirtyBytes) {
    const std::string bytes = SavedBytes(SendLinesToSave{});
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        expected += "\x2d\x31\x0d\x0a\x0d\x0a";
    }
    EXPECT_EQ(bytes.size(), 30u);
    EXPECT_EQ(bytes, expected);
}

TEST(ParametersFile, ExampleLoadsBack) {
    EXPECT_EQ(LoadBytes(kExampleBytes), kExampleLoaded);
}

// A damaged file may hold a line of any length: it loads capped, and the lines after it
// still load in their places.
TEST(ParametersFile, OverlongLinesLoadCappedAndLaterLinesStayInPlace) {
    const std::string huge(3 * TextModeReader::kMaxLineLength, '1');
    const std::string capped = huge.substr(0, TextModeReader::kMaxLineLength);
    LoadedSendLines expected = kExampleLoaded;
    expected[0] = {2, capped};
    EXPECT_EQ(LoadBytes(huge + "\r\n" + huge + "\r\n" + kExampleBytes.substr(7)), expected);
}

TEST(ParametersFile, NoSelectionIsSavedAsMinusOneAndLoadsAsText) {
    SendLinesToSave lines;
    for (SendLineToSave& line : lines) {
        line = {-1, "01,02"};
    }
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    ASSERT_TRUE(SaveParametersFile(path, lines));
    EXPECT_EQ(ReadFileBytes(path).substr(0, 11), "-1\r\n01,02\r\n");
    const std::optional<LoadedSendLines> loaded = LoadParametersFile(path);
    ASSERT_TRUE(loaded);
    for (const LoadedSendLine& line : *loaded) {
        EXPECT_EQ(line, (LoadedSendLine{0, "01,02"}));
    }
}

// Each format line is followed by a text line and is the last format read, so every later
// send line carries its value over.
TEST(ParametersFile, FormatLinesAreReadAsAtoiAndClamped) {
    const struct {
        std::string line;
        int format;
    } cases[] = {
        {"0", 0},
        {"1", 1},
        {"2", 2},
        {"5", 2},
        {"99", 2},
        {"-3", 0},
        {"-1", 0},
        {"abc", 0},
        {"", 0},
        {"x1", 0},
        {" 1", 1},
        {"1abc", 1},
        {"+2", 2},
        {"\t\v\f 2", 2},
        {"01", 1},
        {"1 2", 1},
        {"1,2", 1},
        {"- 1", 0},
        {"2\r", 2},
        {"\r1", 1},
        {"\xa0"
         "1",
         0},
        {"\0"
         "1"s,
         0},
        // Too large for an int: never wrapped round to another format.
        {"2147483648", 2},
        {"4294967297", 2},
        {"99999999999999999999", 2},
        {"-2147483649", 0},
        {"-4294967295", 0},
        {"-99999999999999999999", 0},
    };
    for (const auto& c : cases) {
        const LoadedSendLines lines = LoadBytes(CrLfLines({c.line, "text"}));
        LoadedSendLines expected = AllWithoutText(c.format);
        expected[0].text = "text";
        EXPECT_EQ(lines, expected) << testing::PrintToString(c.line);
    }
}

TEST(ParametersFile, EmptyFileSelectsTextEverywhereAndLeavesTheTexts) {
    EXPECT_EQ(LoadBytes(""), AllWithoutText(0));
}

TEST(ParametersFile, LastFormatReadCarriesOver) {
    LoadedSendLines expected = AllWithoutText(1);
    expected[0] = {2, "abc"};
    EXPECT_EQ(LoadBytes(CrLfLines({"2", "abc", "1"})), expected);

    // A format line without its text line: the text stays, the format does not.
    expected = AllWithoutText(0);
    expected[0] = {2, "a"};
    expected[1] = {1, "b"};
    EXPECT_EQ(LoadBytes("2\r\na\r\n1\r\nb\r\n-7"), expected);

    // A last line without a line end still counts.
    expected = AllWithoutText(2);
    expected[0] = {2, "abc"};
    EXPECT_EQ(LoadBytes("2\r\nabc"), expected);
}

TEST(ParametersFile, LineFeedAloneEndsALineToo) {
    EXPECT_EQ(LoadBytes("0\nAT\n2\n01,03,00,00,00,01\n1\n001,002,003\n0\n\n0\n\n"), kExampleLoaded);
    EXPECT_EQ(LoadBytes("0\nAT\r\n2\r\n01,03,00,00,00,01\n1\n001,002,003\r\n0\n\r\n0\r\n\n"),
              kExampleLoaded);
}

TEST(ParametersFile, LinesAfterTheTenthAreIgnored) {
    EXPECT_EQ(LoadBytes(kExampleBytes + CrLfLines({"2", "extra", "1", "more"})), kExampleLoaded);
}

// The text is written as it stands; read back, it splits in two and every later line of the
// file moves down by one, and the eleventh line is never read.
TEST(ParametersFile, LineFeedInsideATextShiftsTheLaterLines) {
    const SendLinesToSave saved{{{0, "A\nB"}, {2, "01,02"}, {1, "003"}, {0, "x"}, {0, "y"}}};
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    ASSERT_TRUE(SaveParametersFile(path, saved));
    EXPECT_EQ(ReadFileBytes(path),
              CrLfLines({"0", "A", "B", "2", "01,02", "1", "003", "0", "x", "0", "y"}));
    const LoadedSendLines expected{{{0, "A"}, {0, "2"}, {1, "1"}, {2, "0"}, {0, "0"}}};
    EXPECT_EQ(LoadParametersFile(path), expected);
}

TEST(ParametersFile, EndMarkInsideATextEndsTheReading) {
    const SendLinesToSave saved{{{2,
                                  "AB\x1a"
                                  "CD"},
                                 {1, "5"},
                                 {0, "x"},
                                 {1, "y"},
                                 {0, "z"}}};
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    ASSERT_TRUE(SaveParametersFile(path, saved));
    EXPECT_EQ(ReadFileBytes(path).substr(0, 11),
              "2\r\nAB\x1a"
              "CD\r\n1");
    LoadedSendLines expected = AllWithoutText(2);
    expected[0].text = "AB";
    EXPECT_EQ(LoadParametersFile(path), expected);
}

TEST(ParametersFile, TextsSurviveASaveAndALoadUnchanged) {
    const SendLinesToSave saved{{
        {0, "a, b ,\"quoted\" 'single' \\back\\slash\\"},
        {2, "  leading and trailing  "},
        {1, ",,,"},
        {0, "tab\there\rcarriage\r"},
        {2, "\x01\x7f\x80\xc0\xff 8-bit"},
    }};
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    ASSERT_TRUE(SaveParametersFile(path, saved));
    const std::optional<LoadedSendLines> loaded = LoadParametersFile(path);
    ASSERT_TRUE(loaded);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ((*loaded)[i], (LoadedSendLine{saved[i].selectedFormat, saved[i].text})) << i;
    }
}

// The edit field holds zero-terminated text, so neither direction passes a zero byte on.
TEST(ParametersFile, TextEndsAtAZeroByte) {
    SendLinesToSave saved;
    saved[0] = {0, "AB\0CD"s};
    EXPECT_EQ(SavedBytes(saved).substr(0, 8), "0\r\nAB\r\n-");

    LoadedSendLines expected = AllWithoutText(1);
    expected[0] = {0, "AB"};
    expected[1] = {1, ""};
    EXPECT_EQ(LoadBytes("0\r\nAB\0CD\r\n1\r\n\0x\r\n"s), expected);
}

TEST(ParametersFile, SaveReplacesALongerFileWhole) {
    TemporaryFolder folder;
    const std::string path = folder / "VwData.dat";
    WriteFileBytes(path, std::string(10000, 'o'));
    ASSERT_TRUE(SaveParametersFile(path, kExample));
    EXPECT_EQ(ReadFileBytes(path), kExampleBytes);
}

TEST(ParametersFile, OnlyARegularFileOpens) {
    TemporaryFolder folder;
    EXPECT_FALSE(LoadParametersFile(folder / "VwData.dat")) << "missing";
    EXPECT_FALSE(LoadParametersFile("")) << "no current directory";
    EXPECT_FALSE(SaveParametersFile("", kExample)) << "no current directory";

    ASSERT_EQ(mkdir((folder / "VwData.dat").c_str(), 0755), 0);
    EXPECT_FALSE(LoadParametersFile(folder / "VwData.dat")) << "a folder";
    EXPECT_FALSE(SaveParametersFile(folder / "VwData.dat", kExample)) << "a folder";
    EXPECT_EQ(FolderEntries(folder / "VwData.dat"), std::vector<std::string>{});
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"VwData.dat"});

    // No writer holds the pipe: opening it must neither wait nor load it as an empty file.
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0644), 0);
    EXPECT_FALSE(LoadParametersFile(folder / "pipe"));
    EXPECT_FALSE(SaveParametersFile(folder / "pipe", kExample));
}

TEST(ParametersFile, MessagesAreTheRussianTextsInUtf8) {
    EXPECT_EQ(
        std::string(kParametersOpenFailedMessage),
        "\xd0\x9d\xd0\xb5\xd1\x83\xd0\xb4\xd0\xb0\xd0\xbb\xd0\xbe\xd1\x81\xd1\x8c\x20\xd0\xbe"
        "\xd1\x82\xd0\xba\xd1\x80\xd1\x8b\xd1\x82\xd1\x8c\x20\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb"
        "\x20\xd0\xbf\xd0\xb0\xd1\x80\xd0\xb0\xd0\xbc\xd0\xb5\xd1\x82\xd1\x80\xd0\xbe\xd0\xb2");
    EXPECT_EQ(
        std::string(kParametersCreateFailedMessage),
        "\xd0\x9d\xd0\xb5\xd1\x83\xd0\xb4\xd0\xb0\xd0\xbb\xd0\xbe\xd1\x81\xd1\x8c\x20\xd1\x81"
        "\xd0\xbe\xd0\xb7\xd0\xb4\xd0\xb0\xd1\x82\xd1\x8c\x20\xd1\x84\xd0\xb0\xd0\xb9\xd0\xbb"
        "\x20\xd0\xbf\xd0\xb0\xd1\x80\xd0\xb0\xd0\xbc\xd0\xb5\xd1\x82\xd1\x80\xd0\xbe\xd0\xb2");
}

}  // namespace
