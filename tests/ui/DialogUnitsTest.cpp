#include "ui/DialogUnits.h"

#include <gtest/gtest.h>

namespace {

TEST(DialogBaseUnits, AverageLetterWidthRoundedAndFontHeight) {
    struct Row {
        int alphabetWidth;
        int fontHeight;
        int cx;
        int cy;
    };
    const Row rows[] = {
        {312, 13, 6, 13},  // 6 pixels a letter exactly
        {337, 16, 6, 16},  // 6.48
        {338, 16, 7, 16},  // 6.5 rounds up
        {363, 15, 7, 15},  // 6.98
        {52, 8, 1, 8},    {0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        const DialogBaseUnits base = DialogBaseUnitsFromFont(row.alphabetWidth, row.fontHeight);
        EXPECT_EQ(base.cx, row.cx) << row.alphabetWidth;
        EXPECT_EQ(base.cy, row.cy) << row.fontHeight;
    }
}

TEST(DialogUnitsToPixels, QuarterBaseWidthAcrossEighthBaseHeightDown) {
    struct Row {
        DialogBaseUnits base;
        int units;
        int x;
        int y;
    };
    const Row rows[] = {
        {{6, 13}, 0, 0, 0},       {{6, 13}, 4, 6, 7},        // 6.5 rounds up
        {{6, 13}, 7, 11, 11},                                // 10.5 and 11.375
        {{6, 13}, 8, 12, 13},     {{6, 13}, 315, 473, 512},  // 472.5 and 511.875
        {{6, 13}, 319, 479, 518},                            // 478.5 and 518.375
        {{7, 16}, 12, 21, 24},    {{7, 16}, 43, 75, 86},     // 75.25
        {{6, 13}, -3, -5, -5},  // -4.5 and -4.875: halves away from zero
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DialogUnitsToPixelsX(row.units, row.base), row.x) << row.units;
        EXPECT_EQ(DialogUnitsToPixelsY(row.units, row.base), row.y) << row.units;
    }
}

TEST(DialogRectToPixels, ConvertsEachSideOnItsAxis) {
    const PixelRect rect = DialogRectToPixels({7, 83, 301, 209}, {6, 13});
    EXPECT_EQ(rect.x, 11);        // 10.5
    EXPECT_EQ(rect.y, 135);       // 134.875
    EXPECT_EQ(rect.width, 452);   // 451.5
    EXPECT_EQ(rect.height, 340);  // 339.625
}

}  // namespace
