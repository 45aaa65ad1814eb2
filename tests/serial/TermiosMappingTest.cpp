#include "serial/PortSettings.h"
#include "serial/TermiosMapping.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// Attributes with every flag up, as a line left behind by some other program might be:
// whatever the mapping does not set on purpose must come out cleared.
termios Cluttered() {
    termios attributes{};
    attributes.c_iflag = ~tcflag_t{0};
    attributes.c_oflag = ~tcflag_t{0};
    attributes.c_cflag = ~tcflag_t{0} & ~(CBAUD | CIBAUD);
    attributes.c_lflag = ~tcflag_t{0};
    cfsetspeed(&attributes, B38400);
    std::memset(attributes.c_cc, 0x7F, sizeof(attributes.c_cc));
    return attributes;
}

// The baseline line state with the parameters of a settings string on top.
SerialLineState StateFor(const std::string& settingsText) {
    SerialLineState state;
    state.DCBlength = sizeof(SerialLineState);
    state.Flags = 0x1093;
    state.XonChar = 0x11;
    state.XoffChar = 0x13;
    const PortSettings settings = ParsePortSettings(settingsText);
    state.BaudRate = static_cast<std::uint32_t>(settings.baudRate);
    state.ByteSize = settings.byteSize;
    state.Parity = settings.parity;
    state.StopBits = settings.stopBits;
    return state;
}

struct MappingCase {
    std::string text;
    speed_t speed;  // B0: a nonstandard rate
    std::uint32_t baudRate;
    tcflag_t characterSize;
    tcflag_t parityFlags;  // PARENB, PARODD and CMSPAR as they must stand
    bool stopFlag;
};

void PrintTo(const MappingCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class WorkedExampleMapping : public testing::TestWithParam<MappingCase> {};

TEST_P(WorkedExampleMapping, PutsTheFrameOnTheLine) {
    const MappingCase& c = GetParam();
    TermiosLine line;
    ASSERT_EQ(LineStateToTermios(StateFor(c.text), Cluttered(), line), 0);
    const tcflag_t cflag = line.attributes.c_cflag;

    EXPECT_EQ(line.baudRate, c.baudRate);
    EXPECT_EQ(line.customBaudRate, c.speed == B0);
    if (c.speed == B0) {
        EXPECT_EQ(cfgetospeed(&line.attributes), speed_t{B38400}) << "the current speed stays";
    } else {
        EXPECT_EQ(cfgetospeed(&line.attributes), c.speed);
        EXPECT_EQ(cfgetispeed(&line.attributes), c.speed);
    }
    EXPECT_EQ(cflag & CSIZE, c.characterSize);
    EXPECT_EQ(cflag & (PARENB | PARODD | CMSPAR), c.parityFlags);
    EXPECT_EQ((cflag & CSTOPB) != 0, c.stopFlag);
    EXPECT_EQ(cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.attributes.c_iflag & (IXON | IXOFF | IXANY), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, WorkedExampleMapping,
    testing::Values(MappingCase{"9600, N, 8, 1", B9600, 9600, CS8, 0, false},
                    MappingCase{"19200, E, 7, 2", B19200, 19200, CS7, PARENB, true},
                    MappingCase{"4800, O, 7, 1", B4800, 4800, CS7, PARENB | PARODD, false},
                    MappingCase{"9600, M, 8, 1", B9600, 9600, CS8, PARENB | PARODD | CMSPAR, false},
                    MappingCase{"9600, S, 8, 2", B9600, 9600, CS8, PARENB | CMSPAR, true},
                    // With five data bits the stop-bit flag gives one and a half.
                    MappingCase{"9600, N, 5, 1.5", B9600, 9600, CS5, 0, true},
                    MappingCase{"1200, N, 8, 1", B1200, 1200, CS8, 0, false},
                    MappingCase{"9600, NONE, 8, 1", B9600, 9600, CS8, PARENB, false},
                    MappingCase{"9600, e, 8, 1", B9600, 9600, CS8, 0, false},
                    MappingCase{"7, E, 1", B0, 7, CS8, PARENB, false},
                    MappingCase{"9600 N 8 2", B9600, 9600, CS8, 0, false},
                    MappingCase{"31250, O, 6, 2", B0, 31250, CS6, PARENB | PARODD, true},
                    // The 7 followed by a comma at the end of the rate gives 7 data bits.
                    MappingCase{"2147483647, N, 8, 1", B0, 2147483647, CS7, 0, false},
                    MappingCase{"4000000, N, 8, 1", B4000000, 4000000, CS8, 0, false},
                    MappingCase{"50, N, 8, 1", B50, 50, CS8, 0, false}));

TEST(TermiosMapping, GivesARawLineThatPassesEveryByteThrough) {
    TermiosLine line;
    ASSERT_EQ(LineStateToTermios(StateFor("9600, E, 7, 1"), Cluttered(), line), 0);
    const termios& attributes = line.attributes;

    EXPECT_EQ(attributes.c_lflag & (ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(attributes.c_oflag & OPOST, 0u);
    // Bytes with parity errors pass unchanged: no checking, marking, ignoring or stripping.
    EXPECT_EQ(attributes.c_iflag & (INPCK | PARMRK | IGNPAR | ISTRIP), 0u);
    EXPECT_EQ(attributes.c_iflag & (ICRNL | INLCR | IGNCR | BRKINT | IGNBRK), 0u);
    EXPECT_EQ(attributes.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
    EXPECT_EQ(attributes.c_cc[VMIN], 1);
    EXPECT_EQ(attributes.c_cc[VTIME], 0);
    EXPECT_EQ(attributes.c_cc[VSTART], 0x11);
    EXPECT_EQ(attributes.c_cc[VSTOP], 0x13);
}

struct FlowCase {
    const char* name;
    std::uint32_t flags;
    bool hardware;
    bool output;
    bool input;
};

void PrintTo(const FlowCase& c, std::ostream* out) {
    *out << c.name;
}

class FlowMapping : public testing::TestWithParam<FlowCase> {};

TEST_P(FlowMapping, SetsTheFlowSwitches) {
    const FlowCase& c = GetParam();
    SerialLineState state = StateFor("9600, N, 8, 1");
    state.Flags = c.flags;
    TermiosLine line;
    ASSERT_EQ(LineStateToTermios(state, Cluttered(), line), 0);
    EXPECT_EQ((line.attributes.c_cflag & CRTSCTS) != 0, c.hardware);
    EXPECT_EQ((line.attributes.c_iflag & IXON) != 0, c.output);
    EXPECT_EQ((line.attributes.c_iflag & IXOFF) != 0, c.input);
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, FlowMapping,
    testing::Values(
        FlowCase{"Baseline", 0x1093, false, false, false},
        FlowCase{"CtsOutput", 0x1093 | kFlagOutxCtsFlow, true, false, false},
        FlowCase{"RtsHandshake", 0x2093, true, false, false},
        FlowCase{"RtsToggle", 0x3093, false, false, false},
        FlowCase{"DsrOnlyHasNoCounterpart", 0x1093 | kFlagOutxDsrFlow, false, false, false},
        FlowCase{"XonXoffOutput", 0x1093 | kFlagOutX, false, true, false},
        FlowCase{"XonXoffInput", 0x1093 | kFlagInX, false, false, true},
        FlowCase{"Everything", 0x2093 | kFlagOutxCtsFlow | kFlagOutX | kFlagInX, true, true, true}),
    [](const testing::TestParamInfo<FlowCase>& row) { return row.param.name; });

struct RejectionCase {
    const char* name;
    std::uint32_t baudRate;
    std::uint8_t byteSize;
    std::uint8_t parity;
    std::uint8_t stopBits;
    std::uint32_t extraFlags = 0;
    char xoffChar = 0x13;
};

void PrintTo(const RejectionCase& c, std::ostream* out) {
    *out << c.name;
}

class RejectedValue : public testing::TestWithParam<RejectionCase> {};

TEST_P(RejectedValue, GivesInvalidArgumentAndNoAttributes) {
    const RejectionCase& c = GetParam();
    SerialLineState state = StateFor("9600, N, 8, 1");
    state.BaudRate = c.baudRate;
    state.ByteSize = c.byteSize;
    state.Parity = c.parity;
    state.StopBits = c.stopBits;
    state.Flags |= c.extraFlags;
    state.XoffChar = c.xoffChar;

    TermiosLine line;
    line.baudRate = 4242;
    EXPECT_EQ(LineStateToTermios(state, Cluttered(), line), EINVAL);
    EXPECT_EQ(line.baudRate, 4242u) << "nothing is handed back";
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, RejectedValue,
    testing::Values(
        RejectionCase{"BaudZero", 0, 8, kNoParity, kOneStopBit},
        RejectionCase{"BaudAboveIntRange", 2147483648u, 8, kNoParity, kOneStopBit},
        RejectionCase{"BaudTypedNegative", static_cast<std::uint32_t>(-9600), 8, kNoParity,
                      kOneStopBit},
        RejectionCase{"FourDataBits", 9600, 4, kNoParity, kOneStopBit},
        RejectionCase{"NineDataBits", 9600, 9, kNoParity, kOneStopBit},
        RejectionCase{"ZeroDataBits", 9600, 0, kNoParity, kOneStopBit},
        RejectionCase{"UnknownParity", 9600, 8, 5, kOneStopBit},
        RejectionCase{"UnknownStopBits", 9600, 8, kNoParity, 3},
        RejectionCase{"OneAndAHalfWithSix", 9600, 6, kNoParity, kOne5StopBits},
        RejectionCase{"OneAndAHalfWithEight", 9600, 8, kNoParity, kOne5StopBits},
        RejectionCase{"TwoWithFive", 9600, 5, kNoParity, kTwoStopBits},
        RejectionCase{"SameXonXoffOut", 9600, 8, kNoParity, kOneStopBit, kFlagOutX, 0x11},
        RejectionCase{"SameXonXoffIn", 9600, 8, kNoParity, kOneStopBit, kFlagInX, 0x11}),
    [](const testing::TestParamInfo<RejectionCase>& row) { return row.param.name; });

TEST(TermiosMapping, SameXonAndXoffIsFineWithoutXonXoffFlow) {
    SerialLineState state = StateFor("9600, N, 8, 1");
    state.XonChar = 0;
    state.XoffChar = 0;
    TermiosLine line;
    EXPECT_EQ(LineStateToTermios(state, Cluttered(), line), 0);
}

class MergeRoundTrip : public testing::TestWithParam<std::string> {};

TEST_P(MergeRoundTrip, ReadsBackWhatWasWrittenAndKeepsTheRest) {
    SerialLineState written = StateFor(GetParam());
    written.Flags |= kFlagOutX | kFlagAbortOnError | 0xABC00000;
    written.XonLim = 100;
    written.XoffLim = 200;
    written.ErrorChar = '?';
    written.EofChar = 0x1A;
    written.EvtChar = '\n';
    written.wReserved = 7;
    written.wReserved1 = 9;
    TermiosLine line;
    ASSERT_EQ(LineStateToTermios(written, Cluttered(), line), 0);

    // The record kept beside the line, with the frame scrambled: the line must restore it.
    SerialLineState read = written;
    read.BaudRate = 1;
    read.ByteSize = 6;
    read.Parity = kMarkParity;
    read.StopBits = kTwoStopBits;
    MergeTermiosIntoLineState(line.attributes, written.BaudRate, read);
    EXPECT_EQ(std::memcmp(&read, &written, sizeof(SerialLineState)), 0) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Mapping, MergeRoundTrip,
                         testing::Values("9600, N, 8, 1", "19200, E, 7, 2", "4800, O, 7, 1",
                                         "9600, M, 8, 1", "9600, S, 8, 2", "9600, N, 5, 1.5",
                                         "31250, O, 6, 1", "300, S, 5, 1"));

TEST(TermiosMapping, MergeFollowsTheLinesHardwareFlowSwitch) {
    termios attributes = Cluttered();
    attributes.c_cflag &= ~CRTSCTS;
    SerialLineState state = StateFor("9600, N, 8, 1");
    state.Flags |= kFlagOutxCtsFlow;
    SetRtsControl(state, kRtsControlHandshake);
    MergeTermiosIntoLineState(attributes, 0, state);
    EXPECT_EQ(state.Flags & kFlagOutxCtsFlow, 0u);
    EXPECT_EQ(RtsControl(state), kRtsControlEnable);
    EXPECT_EQ(state.BaudRate, 9600u) << "a rate of 0 leaves the record's";

    attributes.c_cflag |= CRTSCTS;
    MergeTermiosIntoLineState(attributes, 0, state);
    EXPECT_NE(state.Flags & kFlagOutxCtsFlow, 0u);
    EXPECT_EQ(RtsControl(state), kRtsControlHandshake);
}

TEST(TermiosMapping, StandardSpeedsAreFoundAndOthersAreNot) {
    EXPECT_EQ(StandardSpeedFor(9600), B9600);
    EXPECT_EQ(StandardSpeedFor(115200), B115200);
    EXPECT_EQ(StandardSpeedFor(134), B134);
    EXPECT_EQ(StandardSpeedFor(12345), B0);
    EXPECT_EQ(StandardSpeedFor(0), B0);
    EXPECT_EQ(StandardSpeedFor(9601), B0);
}

}  // namespace
