#include "FileBytes.h"
#include "params/TextModeReader.h"
#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

// Every line `bytes` gives when read from a real file.
Lines ReadLines(const std::string& bytes) {
    TemporaryFolder folder;
    const std::string path = folder / "lines.txt";
    WriteFileBytes(path, bytes);
    const int fd = open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    TextModeReader reader(fd);
    Lines lines;
    std::string line = "left-over";
    while (reader.ReadString(line)) {
        lines.push_back(line);
    }
    EXPECT_EQ(line, "") << "the end of the file leaves the line empty";
    EXPECT_FALSE(reader.ReadString(line)) << "the end of the file stays the end";
    close(fd);
    return lines;
}

struct ReadCase {
    std::string bytes;
    Lines lines;
};

TEST(TextModeReader, TranslatesLineEndsAndStopsAtTheEndMark) {
    const ReadCase cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"\n", {""}},
        {"\r\n\r\n", {"", ""}},
        // A CR without an LF after it is an ordinary character.
        {"a\rb\r\n", {"a\rb"}},
        {"a\r", {"a\r"}},
        {"\r", {"\r"}},
        {"a\r\r\n", {"a\r"}},
        {"\r\r\r\n", {"\r\r"}},
        {"a\n\rb", {"a", "\rb"}},
        // Only one LF is taken off, and an LF CR pair is no line end.
        {"a\n\n", {"a", ""}},
        {"a\n\r", {"a", "\r"}},
        // 0x1A ends the file: nothing after it is read.
        {"\x1a", {}},
        {"\x1a"
         "a\r\n",
         {}},
        {"ab\x1a"
         "cd\r\nef\r\n",
         {"ab"}},
        {"a\r\n\x1a\r\nb", {"a"}},
        {"a\r\x1a\n", {"a\r"}},
        // Any other byte, zero and the upper half included, is taken as it stands.
        {"a\0b\r\n"s, {"a\0b"s}},
        {"\xff\x80\t ,\"\\\r\n", {"\xff\x80\t ,\"\\"}},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
    }
}

// The file is read in pieces; a CR LF split between two of them is still one line end.
TEST(TextModeReader, LineEndsAcrossReadPiecesAndLongLines) {
    for (const std::size_t before : {4094u, 4095u, 4096u, 8191u}) {
        const std::string head(before, 'x');
        EXPECT_EQ(ReadLines(head + "\r\nz"), (Lines{head, "z"})) << before;
        EXPECT_EQ(ReadLines(head + "\ry\r\n"), (Lines{head + "\ry"})) << before;
        EXPECT_EQ(ReadLines(head + "\r"), (Lines{head + "\r"})) << before;
        EXPECT_EQ(ReadLines(head + "\r\x1a"
                                   "y"),
                  (Lines{head + "\r"}))
            << before;
    }
    // Past its first kMaxLineLength characters a line is dropped up to its end.
    const std::string kept(TextModeReader::kMaxLineLength, 'L');
    for (const std::string& rest : {"x"s, "\r"s, std::string(70000, 'M')}) {
        EXPECT_EQ(ReadLines(kept + rest + "\r\nz"), (Lines{kept, "z"})) << rest.size();
        EXPECT_EQ(ReadLines(kept + rest + "\nz"), (Lines{kept, "z"})) << rest.size();
        EXPECT_EQ(ReadLines(kept + rest + "\x1az"), (Lines{kept})) << rest.size();
    }
    EXPECT_EQ(ReadLines(kept + "\r\n" + kept), (Lines{kept, kept}));
}

TEST(TextModeReader, ReadErrorIsTheEndOfTheFile) {
    TemporaryFolder folder;
    // Reading a folder fails with EISDIR.
    const int fd = open(folder.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    TextModeReader reader(fd);
    std::string line = "left-over";
    EXPECT_FALSE(reader.ReadString(line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(reader.ReadString(line));
    close(fd);
}

}  // namespace
