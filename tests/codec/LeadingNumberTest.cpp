#include "codec/LeadingNumber.h"

#include <string>

#include <gtest/gtest.h>

namespace {

TEST(ReadLeadingNumber, ReadsAsAtoiWithBothOverflowReadings) {
    struct Case {
        std::string text;
        std::uint32_t wrapped;
        std::int32_t saturated;
    } const cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"42", 42, 42},
        {"  \t\n\v\f\r7x", 7, 7},
        {"+5", 5, 5},
        {"-1", 0xFFFFFFFFu, -1},
        {"- 1", 0, 0},
        {"1 2", 1, 1},
        {"12abc", 12, 12},
        {std::string("4\0"
                     "2",
                     3),
         4, 4},
        {"2147483647", 2147483647u, 2147483647},
        {"2147483648", 2147483648u, 2147483647},
        {"-2147483648", 2147483648u, -2147483647 - 1},
        {"-2147483649", 2147483647u, -2147483647 - 1},
        {"4294967297", 1, 2147483647},
        {"99999999999999999999", 1661992959u, 2147483647},
    };
    for (const Case& c : cases) {
        const LeadingNumber number = ReadLeadingNumber(c.text);
        EXPECT_EQ(number.wrapped, c.wrapped) << '"' << c.text << '"';
        EXPECT_EQ(number.saturated, c.saturated) << '"' << c.text << '"';
    }
}

}  // namespace
