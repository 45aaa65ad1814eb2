#include "app/IconPosition.h"

#include <gtest/gtest.h>

namespace {

TEST(CenteredIconOrigin, CentresWithHalvesTruncatedTowardZero) {
    struct Row {
        int clientWidth;
        int clientHeight;
        int x;
        int y;
    };
    const Row rows[] = {
        {32, 32, 0, 0},    {100, 60, 34, 14},                  // 69 / 2 and 29 / 2
        {101, 61, 35, 15}, {33, 34, 1, 1},    {30, 30, 0, 0},  // (-2 + 1) / 2 is 0, not -1
        {31, 29, 0, -1},                                       // (-3 + 1) / 2
        {28, 27, -1, -2},                                      // -3 / 2 and -4 / 2
        {0, 0, -15, -15},                                      // -31 / 2
    };
    for (const Row& row : rows) {
        const IconOrigin origin = CenteredIconOrigin(row.clientWidth, row.clientHeight, 32, 32);
        EXPECT_EQ(origin.x, row.x) << row.clientWidth;
        EXPECT_EQ(origin.y, row.y) << row.clientHeight;
    }
    const IconOrigin small = CenteredIconOrigin(20, 14, 16, 16);
    EXPECT_EQ(small.x, 2);
    EXPECT_EQ(small.y, 0);  // (-2 + 1) / 2
}

}  // namespace
