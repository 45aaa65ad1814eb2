#include "FileBytes.h"
#include "params/TextModeReader.h"
#include "params/TextModeWriter.h"
#include "support/TemporaryFolder.h"

#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

// The bytes a file holds after `texts` were written to it one after another.
std::string WrittenBytes(const std::vector<std::string>& texts) {
    TemporaryFolder folder;
    const std::string path = folder / "written.txt";
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    EXPECT_GE(fd, 0);
    TextModeWriter writer(fd);
    for (const std::string& text : texts) {
        EXPECT_TRUE(writer.WriteString(text));
    }
    EXPECT_TRUE(writer.Flush());
    close(fd);
    return ReadFileBytes(path);
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

// /dev/full refuses every write with ENOSPC, as a full disk does.
TEST(TextModeWriter, FailedWriteFailsEveryLaterCall) {
    const int fd = open("/dev/full", O_WRONLY);
    ASSERT_GE(fd, 0);
    TextModeWriter writer(fd);
    EXPECT_TRUE(writer.WriteString("short\n")) << "held back, not yet written";
    EXPECT_FALSE(writer.Flush());
    EXPECT_FALSE(writer.WriteString("more\n"));
    EXPECT_FALSE(writer.Flush());
    close(fd);

    const int fd2 = open("/dev/full", O_WRONLY);
    ASSERT_GE(fd2, 0);
    TextModeWriter large(fd2);
    EXPECT_FALSE(large.WriteString(std::string(10000, 'x'))) << "too large to hold back";
    close(fd2);
}

// Any line without LF or 0x1A in it comes back as it was written, CRs anywhere included.
TEST(TextModeStream, LinesSurviveWritingAndReading) {
    std::mt19937 random(5101);
    std::uniform_int_distribution<int> length(0, 40);
    // CRs and LFs often, every other byte now and then.
    std::uniform_int_distribution<int> pick(0, 300);
    TemporaryFolder folder;
    const std::string path = folder / "round.txt";
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
        const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(out, 0);
        TextModeWriter writer(out);
        for (const std::string& line : lines) {
            writer.WriteString(line + "\n");
        }
        ASSERT_TRUE(writer.Flush());
        close(out);

        const int in = open(path.c_str(), O_RDONLY);
        ASSERT_GE(in, 0);
        TextModeReader reader(in);
        std::vector<std::string> read;
        std::string line;
        while (reader.ReadString(line)) {
            read.push_back(line);
        }
        close(in);
        ASSERT_EQ(read, lines) << "round " << round;
    }
}

}  // namespace
