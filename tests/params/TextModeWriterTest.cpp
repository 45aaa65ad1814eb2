#include "FileBytes.h"
#include "params/TextModeReader.h"
#include "params/TextModeWriter.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

// A file that takes every byte it is given into `bytes`.
TextModeWriter::WriteBytes FileInto(std::string& bytes) {
    return [&bytes](std::string_view written) {
        bytes += written;
        return true;
    };
}

// The bytes a file holds after `texts` were written to it one after another.
std::string WrittenBytes(const std::vector<std::string>& texts) {
    std::string bytes;
    TextModeWriter writer(FileInto(bytes));
    for (const std::string& text : texts) {
        EXPECT_TRUE(writer.WriteString(text));
    }
    EXPECT_TRUE(writer.Flush());
    return bytes;
}

TEST(TextModeWriter, EveryLineFeedBecomesCarriageReturnLineFeed) {
    struct Case {
        std::vector<std::string> texts;
        std::string bytes;
    } const cases[] = {
        {{}, ""},
        {{""}, ""},
        {{"a\n"}, "a\r\n"},
        {{"-1\n", "\n"}, "-1\r\n\r\n"},
        {{"\n\n"}, "\r\n\r\n"},
        {{"\r\n"}, "\r\r\n"},
        {{"a\rb"}, "a\rb"},
        {{"\x1a\n"}, "\x1a\r\n"},
        {{"a\0b\n"s}, "a\0b\r\n"s},
        {{"\xff,\"\\ \t"}, "\xff,\"\\ \t"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WrittenBytes(c.texts), c.bytes) << testing::PrintToString(c.texts);
    }
}

TEST(TextModeWriter, LongContentArrivesWhole) {
    std::string text;
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        text += std::to_string(i) + "\n";
        expected += std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(WrittenBytes({text}), expected);
}

// A full disk refuses every write.
TEST(TextModeWriter, FailedWriteFailsEveryLaterCall) {
    const auto full = [](std::string_view) { return false; };
    TextModeWriter writer(full);
    EXPECT_TRUE(writer.WriteString("short\n")) << "held back, not yet written";
    EXPECT_FALSE(writer.Flush());
    EXPECT_FALSE(writer.WriteString("more\n"));
    EXPECT_FALSE(writer.Flush());

    TextModeWriter large(full);
    EXPECT_FALSE(large.WriteString(std::string(10000, 'x'))) << "too large to hold back";
}

// Any line without LF or 0x1A in it comes back as it was written, CRs anywhere included.
TEST(TextModeStream, LinesSurviveWritingAndReading) {
    std::mt19937 random(5101);
    std::uniform_int_distribution<int> length(0, 40);
    // CRs and LFs often, every other byte now and then.
    std::uniform_int_distribution<int> pick(0, 300);
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> lines(static_cast<std::size_t>(length(random)));
        for (std::string& line : lines) {
            line.resize(static_cast<std::size_t>(length(random)));
            for (char& c : line) {
                const int p = pick(random);
                c = p < 256 ? static_cast<char>(p) : '\r';
                if (c == '\n' || c == '\x1a') {
                    c = '\r';
                }
            }
        }
        std::string bytes;
        TextModeWriter writer(FileInto(bytes));
        for (const std::string& line : lines) {
            writer.WriteString(line + "\n");
        }
        ASSERT_TRUE(writer.Flush());

        TextModeReader reader(BytesAsFile(bytes));
        std::vector<std::string> read;
        std::string line;
        while (reader.ReadString(line)) {
            read.push_back(line);
        }
        ASSERT_EQ(read, lines) << "round " << round;
    }
}

}  // namespace
