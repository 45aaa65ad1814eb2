#include "app/PortNumberCheck.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

const std::string kNotAByte = "Please enter an integer between 0 and 255.";
const std::string kOutOfRange = "Please enter an integer between 1 and 255.";

TEST(CheckPortNumber, ReadsAndChecksTheFieldAsTheExchangeDoes) {
    struct Row {
        std::string text;
        std::optional<int> number;
        std::string message;
    };
    const Row rows[] = {
        {"1", 1, ""},
        {"255", 255, ""},
        {"7", 7, ""},
        {" 7 ", 7, ""},
        {"\t7\t", 7, ""},
        {"+7", 7, ""},
        {"007", 7, ""},
        {"0", 0, kOutOfRange},  // read, then out of range
        {"00", 0, kOutOfRange},
        {" 0", 0, kOutOfRange},
        {"", std::nullopt, kNotAByte},
        {"   ", std::nullopt, kNotAByte},
        {"+", std::nullopt, kNotAByte},
        {"+0", std::nullopt, kNotAByte},  // a 0 counts only when "0" comes first
        {"-1", std::nullopt, kNotAByte},
        {"-0", std::nullopt, kNotAByte},
        {"256", std::nullopt, kNotAByte},
        {"300", std::nullopt, kNotAByte},
        {"99999999999999999999", std::nullopt, kNotAByte},  // no wrapping into range
        {"4294967297", std::nullopt, kNotAByte},
        {"12abc", std::nullopt, kNotAByte},
        {"5 5", std::nullopt, kNotAByte},
        {"5\n", std::nullopt, kNotAByte},  // only spaces and tabs may follow
        {"\n5", std::nullopt, kNotAByte},  // only spaces and tabs may lead
        {"0x10", std::nullopt, kNotAByte},
        {"a", std::nullopt, kNotAByte},
        {"5\0x"s, 5, ""},  // the text ends at a zero
        // The whole text is examined, however long, as Start reads it whole.
        {std::string(30, ' ') + "15", 15, ""},
        {std::string(40, ' ') + "7", 7, ""},
        {"9" + std::string(30, ' ') + "x", std::nullopt, kNotAByte},
        {std::string(40, '0') + "12", 12, ""},
    };
    for (const Row& row : rows) {
        const PortNumberCheck check = CheckPortNumber(row.text);
        ASSERT_EQ(check.number.has_value(), row.number.has_value()) << '"' << row.text << '"';
        if (row.number) {
            EXPECT_EQ(*check.number, *row.number) << '"' << row.text << '"';
        }
        EXPECT_EQ(check.message, row.message) << '"' << row.text << '"';
        if (row.message.empty()) {
            // A number that passes is the port that Start opens.
            EXPECT_EQ(PortNumberFromText(row.text), *row.number) << '"' << row.text << '"';
        }
    }
}

TEST(RangeMessage, PutsTheBoundsIntoTheFrameworkText) {
    EXPECT_EQ(RangeMessage(1, 255), kOutOfRange);
    EXPECT_EQ(RangeMessage(0, 65535), "Please enter an integer between 0 and 65535.");
}

TEST(PortNumberFromText, ReadsAsAtoiAndKeepsTheLowEightBits) {
    struct Row {
        std::string text;
        int port;
    };
    const Row rows[] = {
        {"1", 1},
        {"0", 0},
        {"", 0},
        {"abc", 0},
        {"300", 44},
        {"256", 0},
        {"255", 255},
        {" 7 ", 7},
        {"\n\v\f\r\t 9", 9},
        {"+12", 12},
        {"-1", 255},
        {"-256", 0},
        {"12abc", 12},
        {"5 5", 5},
        {"1\0"
         "2"s,
         1},
        {"4294967297", 1},              // 2^32 + 1
        {"99999999999999999999", 255},  // 10^20 - 1 = 255 modulo 256
        {std::string(40, ' ') + "77", 77},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PortNumberFromText(row.text), row.port) << '"' << row.text << '"';
    }
}

}  // namespace
