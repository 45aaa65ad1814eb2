#include "serial/PortSettings.h"
#include "serial/SerialLineState.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct SettingsCase {
    std::string text;
    std::int32_t baudRate;
    int byteSize;
    int parity;
    int stopBits;
};

void PrintTo(const SettingsCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class ParsePortSettingsTable : public testing::TestWithParam<SettingsCase> {};

TEST_P(ParsePortSettingsTable, RecognisesAllFourParameters) {
    const SettingsCase& c = GetParam();
    const PortSettings settings = ParsePortSettings(c.text);
    EXPECT_EQ(settings.baudRate, c.baudRate);
    EXPECT_EQ(settings.byteSize, c.byteSize);
    EXPECT_EQ(settings.parity, c.parity);
    EXPECT_EQ(settings.stopBits, c.stopBits);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ParsePortSettingsTable,
    testing::Values(SettingsCase{"9600, N, 8, 1", 9600, 8, kNoParity, kOneStopBit},
                    SettingsCase{"19200, E, 7, 2", 19200, 7, kEvenParity, kTwoStopBits},
                    SettingsCase{"4800, O, 7, 1", 4800, 7, kOddParity, kOneStopBit},
                    SettingsCase{"9600, M, 8, 1", 9600, 8, kMarkParity, kOneStopBit},
                    SettingsCase{"9600, S, 8, 2", 9600, 8, kSpaceParity, kTwoStopBits},
                    SettingsCase{"9600, N, 5, 1.5", 9600, 5, kNoParity, kOne5StopBits},
                    // The 2 of the baud rate lies before the first comma.
                    SettingsCase{"1200, N, 8, 1", 1200, 8, kNoParity, kOneStopBit},
                    // The baud rate ends in 4 followed by a comma.
                    SettingsCase{"1234, N, 8, 1", 1234, 4, kNoParity, kOneStopBit},
                    // The E of NONE.
                    SettingsCase{"9600, NONE, 8, 1", 9600, 8, kEvenParity, kOneStopBit},
                    SettingsCase{"9600, e, 8, 1", 9600, 8, kNoParity, kOneStopBit},
                    // "7," at the first character does not count.
                    SettingsCase{"7, E, 1", 7, 8, kEvenParity, kOneStopBit},
                    // Without a comma the stop bits are not looked for.
                    SettingsCase{"9600 N 8 2", 9600, 8, kNoParity, kOneStopBit},
                    SettingsCase{"", 0, 8, kNoParity, kOneStopBit}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, ParsePortSettingsTable,
    testing::Values(SettingsCase{"  \t+19200, O, 6, 2", 19200, 6, kOddParity, kTwoStopBits},
                    SettingsCase{"-9600, N, 8, 1", -9600, 8, kNoParity, kOneStopBit},
                    // Held at the int's limits rather than wrapping.
                    SettingsCase{"99999999999, N, 8, 1", 2147483647, 8, kNoParity, kOneStopBit},
                    SettingsCase{"-99999999999", -2147483647 - 1, 8, kNoParity, kOneStopBit},
                    SettingsCase{"2147483647", 2147483647, 8, kNoParity, kOneStopBit},
                    SettingsCase{"N, 8, 1", 0, 8, kNoParity, kOneStopBit},
                    // Only the first occurrence is looked at: a later "5," does not rescue one at
                    // the first character.
                    SettingsCase{"5, N, 5, 1", 5, 8, kNoParity, kOneStopBit},
                    SettingsCase{"9600, N, 6, 1", 9600, 6, kNoParity, kOneStopBit},
                    // The search order of the data bits, not their position, decides.
                    SettingsCase{"9600, 7, 5, 1", 9600, 5, kNoParity, kOneStopBit},
                    // E wins over M, O and S wherever they stand.
                    SettingsCase{"9600, SOME, 8, 1", 9600, 8, kEvenParity, kOneStopBit},
                    SettingsCase{"9600, SO, 8, 1", 9600, 8, kOddParity, kOneStopBit},
                    SettingsCase{"E, 8, 1", 0, 8, kNoParity, kOneStopBit},
                    // One and a half is looked for before two, both only after the first comma.
                    SettingsCase{"9600, N, 5, 2, 1.5", 9600, 5, kNoParity, kOne5StopBits},
                    SettingsCase{"9600, N, 8, 1.5", 9600, 8, kNoParity, kOne5StopBits},
                    SettingsCase{"2,1", 2, 8, kNoParity, kOneStopBit},
                    // A comma at the first character does not count either.
                    SettingsCase{",2", 0, 8, kNoParity, kOneStopBit},
                    SettingsCase{"9600,2", 9600, 8, kNoParity, kTwoStopBits},
                    // The text ends at a null character.
                    SettingsCase{std::string("9600, N, 8, 1\0, E, 7, 2", 23), 9600, 8, kNoParity,
                                 kOneStopBit}));

}  // namespace
