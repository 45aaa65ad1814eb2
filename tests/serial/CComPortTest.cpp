#include "RecordingSerialDevice.h"
#include "serial/CComPort.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kNoSuchPortText = "No such port (fake)";
constexpr const char* kBusyText = "Busy (fake)";
constexpr const char* kInvalidText = "Invalid value (fake)";
constexpr const char* kIoText = "I/O failure (fake)";

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

class ComPortTest : public testing::Test {
protected:
    ComPortTest() {
        device.errorTexts = {
            {ENOENT, kNoSuchPortText}, {EBUSY, kBusyText}, {EINVAL, kInvalidText}, {EIO, kIoText}};
        port.emplace(std::make_unique<RecordingSerialDevice>(device), RecordErrorBoxes(device));
    }

    void TearDown() override { EXPECT_FALSE(device.wrongHandleUsed); }

    // Opens with the default settings and forgets what that took.
    void OpenQuietly(const char* settings = "9600, N, 8, 1") {
        ASSERT_EQ(port->Open(settings), 1);
        Forget();
    }

    void Forget() {
        device.calls.clear();
        device.sleeps.clear();
        device.readRequests.clear();
        device.lineStatesWritten.clear();
    }

    int Polls() const { return static_cast<int>(device.readRequests.size()); }

    FakeSerialState device;
    std::optional<CComPort> port;
};

TEST_F(ComPortTest, NewChannelIsClosedAndNeedsNoPlatformCall) {
    EXPECT_EQ(port->IsClosed(), 1);
    Bytes buffer(16);
    EXPECT_EQ(port->Read(buffer.data(), 16), 0);
    EXPECT_NE(port->Purge(), 0);
    EXPECT_EQ(port->Close(), 0);
    EXPECT_EQ(port->ApplySettings("9600, N, 8, 1"), 0);
    EXPECT_EQ(device.calls, Calls{});

    const Bytes bytes{1, 2, 3};
    EXPECT_EQ(port->Write(bytes.data(), 3), 0);
    EXPECT_EQ(device.calls, Calls{"Sleep 2"});
    EXPECT_TRUE(device.errorBoxes.empty());
}

TEST_F(ComPortTest, NewChannelOpensPortOneWithPollLimitsOfOneHundredAndTwo) {
    ASSERT_EQ(port->Open("9600, N, 8, 1"), 1);
    EXPECT_EQ(device.calls.front(), "OpenDevice \\\\.\\COM1");
    Forget();

    // Nothing arrives: one hundred polls of 10 ms.
    Bytes buffer(2048);
    EXPECT_EQ(port->Read(buffer.data(), 2048), 0);
    EXPECT_EQ(device.sleeps, std::vector<std::uint32_t>(100, 10));
    EXPECT_EQ(device.readRequests, std::vector<std::uint32_t>(100, 2048));

    // A burst, then silence: back at the third empty poll after it.
    Forget();
    device.polls = {FakePoll{Sequence(5)}};
    EXPECT_EQ(port->Read(buffer.data(), 2048), 5);
    EXPECT_EQ(Polls(), 4);
    EXPECT_EQ(device.sleeps.size(), 4u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 5), Sequence(5));
}

TEST_F(ComPortTest, OpenRunsEveryStepInOrder) {
    EXPECT_EQ(port->Open("9600, N, 8, 1"), 1);
    EXPECT_EQ(port->IsClosed(), 0);
    EXPECT_EQ(device.calls, (Calls{"OpenDevice \\\\.\\COM1", "GetLineState", "SetLineState",
                                   "GetLineState", "SetLineState", "GetTimeouts", "SetTimeouts",
                                   "EscapeFunction 5", "EscapeFunction 3"}));
    EXPECT_TRUE(device.errorBoxes.empty());
}

struct BaselineCase {
    std::uint32_t flagsRead;
    std::uint32_t flagsWritten;
};

void PrintTo(const BaselineCase& c, std::ostream* out) {
    *out << std::hex << "0x" << c.flagsRead;
}

class BaselineFlags : public ComPortTest, public testing::WithParamInterface<BaselineCase> {};

TEST_P(BaselineFlags, KeepHighBitsAndSetTheFixedOnes) {
    device.lineState.Flags = GetParam().flagsRead;
    ASSERT_EQ(port->Open("9600, N, 8, 1"), 1);
    ASSERT_GE(device.lineStatesWritten.size(), 1u);
    EXPECT_EQ(device.lineStatesWritten[0].Flags, GetParam().flagsWritten);
}

INSTANTIATE_TEST_SUITE_P(ComPort, BaselineFlags,
                         testing::Values(BaselineCase{0x00000000, 0x00001093},
                                         BaselineCase{0xFFFFFFFF, 0xFFFF9093},
                                         // every handshake, XON/XOFF and abort bit cleared
                                         BaselineCase{0x00006F6C, 0x00001093},
                                         BaselineCase{0xABCD8000, 0xABCD9093}));

TEST_F(ComPortTest, BaselineAndSettingsKeepEveryUnlistedField) {
    SerialLineState read;
    read.DCBlength = sizeof(SerialLineState);
    read.BaudRate = 115200;
    read.Flags = 0;
    read.wReserved = 0x1111;
    read.XonLim = 0x2222;
    read.XoffLim = 0x3333;
    read.ByteSize = 6;
    read.Parity = kMarkParity;
    read.StopBits = kTwoStopBits;
    read.XonChar = 'a';
    read.XoffChar = 'b';
    read.ErrorChar = 'c';
    read.EofChar = 'd';
    read.EvtChar = 'e';
    read.wReserved1 = 0x4444;
    device.lineState = read;

    ASSERT_EQ(port->Open("19200, E, 7, 2"), 1);
    ASSERT_EQ(device.lineStatesWritten.size(), 2u);

    SerialLineState baseline = read;
    baseline.Flags = 0x1093;
    baseline.BaudRate = 9600;
    baseline.ByteSize = 8;
    baseline.Parity = kNoParity;
    baseline.StopBits = kOneStopBit;
    SerialLineState applied = baseline;
    applied.BaudRate = 19200;
    applied.ByteSize = 7;
    applied.Parity = kEvenParity;
    applied.StopBits = kTwoStopBits;

    for (const auto& [written, expected] : {std::pair{device.lineStatesWritten[0], baseline},
                                            std::pair{device.lineStatesWritten[1], applied}}) {
        EXPECT_EQ(std::memcmp(&written, &expected, sizeof(SerialLineState)), 0)
            << "baud " << written.BaudRate << " flags " << std::hex << written.Flags;
    }
}

TEST_F(ComPortTest, OpenSetsTimeoutsUnderWhichReadsReturnAtOnce) {
    device.timeouts = SerialTimeouts{1, 2, 3, 4, 5};
    ASSERT_EQ(port->Open("9600, N, 8, 1"), 1);
    EXPECT_EQ(device.timeouts.ReadIntervalTimeout, 0xFFFFFFFFu);
    EXPECT_EQ(device.timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(device.timeouts.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(device.timeouts.WriteTotalTimeoutMultiplier, 10u);
    EXPECT_EQ(device.timeouts.WriteTotalTimeoutConstant, 1000u);
}

TEST_F(ComPortTest, PortNumberNamesTheDevice) {
    for (const auto& [number, name] : {std::pair<std::uint8_t, const char*>{12, "\\\\.\\COM12"},
                                       {3, "\\\\.\\COM3"},
                                       {255, "\\\\.\\COM255"},
                                       {0, "\\\\.\\COM0"}}) {
        port->SetPortNumber(number);
        ASSERT_EQ(port->Open("9600, N, 8, 1"), 1);
        const std::string expected = std::string("OpenDevice ") + name;
        EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), expected), 1) << name;
        port->Close();
        Forget();
    }
}

TEST_F(ComPortTest, OpenOnAnOpenChannelClosesTheDeviceFirst) {
    OpenQuietly();
    ASSERT_EQ(port->Open("9600, N, 8, 1"), 1);
    ASSERT_GE(device.calls.size(), 2u);
    EXPECT_EQ(device.calls[0], "CloseDevice");
    EXPECT_EQ(device.calls[1], "OpenDevice \\\\.\\COM1");
}

TEST_F(ComPortTest, DeviceThatCannotOpenLeavesChannelClosedWithOneErrorBox) {
    device.openError = ENOENT;
    EXPECT_EQ(port->Open("9600, N, 8, 1"), 0);
    EXPECT_EQ(port->IsClosed(), 1);
    EXPECT_EQ(device.errorBoxes, Calls{kNoSuchPortText});
    EXPECT_EQ(device.calls, (Calls{"OpenDevice \\\\.\\COM1", "LastError", "ErrorText 2",
                                   std::string("ShowErrorBox ") + kNoSuchPortText}));

    Forget();
    Bytes buffer(8);
    EXPECT_EQ(port->Read(buffer.data(), 8), 0);
    EXPECT_EQ(device.calls, Calls{});
}

TEST_F(ComPortTest, RejectedBaselineLeavesChannelOpenWithOneErrorBox) {
    device.rejectLineState = [](const SerialLineState&) { return EIO; };
    EXPECT_EQ(port->Open("9600, N, 8, 1"), 0);
    EXPECT_EQ(port->IsClosed(), 0);
    EXPECT_EQ(device.errorBoxes, Calls{kIoText});
    EXPECT_EQ(device.calls.back(), std::string("ShowErrorBox ") + kIoText);
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "SetLineState"), 1);

    Forget();
    EXPECT_EQ(port->Close(), 1);
    EXPECT_EQ(device.calls, Calls{"CloseDevice"});
}

TEST_F(ComPortTest, RejectedBaudRateLeavesPortOpenAtTheBaseline) {
    device.rejectLineState = [](const SerialLineState& state) {
        return state.BaudRate == 12345 ? EINVAL : 0;
    };
    EXPECT_EQ(port->Open("12345, E, 7, 2"), 0);
    EXPECT_EQ(port->IsClosed(), 0);
    EXPECT_EQ(device.errorBoxes, Calls{kInvalidText});
    EXPECT_EQ(device.lineState.BaudRate, 9600u);
    EXPECT_EQ(device.lineState.ByteSize, 8);
    EXPECT_EQ(device.lineState.Parity, kNoParity);
    EXPECT_EQ(device.lineState.StopBits, kOneStopBit);
    for (const char* skipped : {"GetTimeouts", "SetTimeouts", "EscapeFunction 5"}) {
        EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), skipped), 0) << skipped;
    }
}

TEST_F(ComPortTest, RejectedTimeoutsSkipTheModemLines) {
    device.setTimeoutsError = EINVAL;
    EXPECT_EQ(port->Open("9600, N, 8, 1"), 0);
    EXPECT_EQ(port->IsClosed(), 0);
    EXPECT_EQ(device.errorBoxes, Calls{kInvalidText});
    EXPECT_EQ(device.calls.back(), std::string("ShowErrorBox ") + kInvalidText);
    EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), "EscapeFunction 5"), 0);
}

TEST_F(ComPortTest, CloseAfterCloseNeedsNoPlatformCall) {
    OpenQuietly();
    EXPECT_EQ(port->Close(), 1);
    EXPECT_EQ(port->IsClosed(), 1);
    EXPECT_EQ(port->Close(), 0);
    EXPECT_EQ(device.calls, Calls{"CloseDevice"});
}

TEST_F(ComPortTest, RefusedCloseKeepsTheChannelOpen) {
    OpenQuietly();
    device.closeError = EIO;
    EXPECT_EQ(port->Close(), 0);
    EXPECT_EQ(port->IsClosed(), 0);
    EXPECT_EQ(device.errorBoxes, Calls{kIoText});

    device.closeError = 0;
    EXPECT_EQ(port->Close(), 1);
    EXPECT_EQ(port->IsClosed(), 1);
}

TEST_F(ComPortTest, DestructionClosesThePort) {
    OpenQuietly();
    port.reset();
    EXPECT_EQ(device.calls, Calls{"CloseDevice"});
    EXPECT_FALSE(device.open);
}

TEST_F(ComPortTest, DestructionShowsTheErrorBoxOfARefusedClose) {
    OpenQuietly();
    device.closeError = EIO;
    port.reset();
    EXPECT_EQ(device.errorBoxes, Calls{kIoText});
}

TEST_F(ComPortTest, ErrorBoxShowsTheCodeWhenTheSystemHasNoText) {
    device.openError = 98765;
    EXPECT_EQ(port->Open("9600, N, 8, 1"), 0);
    EXPECT_EQ(device.errorBoxes, Calls{"98765"});
}

TEST_F(ComPortTest, ApplySettingsWritesAllFourParametersEveryTime) {
    OpenQuietly("19200, E, 7, 2");
    EXPECT_EQ(port->ApplySettings(""), 1);
    ASSERT_EQ(device.lineStatesWritten.size(), 1u);
    const SerialLineState& written = device.lineStatesWritten[0];
    EXPECT_EQ(written.BaudRate, 0u);
    EXPECT_EQ(written.ByteSize, 8);
    EXPECT_EQ(written.Parity, kNoParity);
    EXPECT_EQ(written.StopBits, kOneStopBit);
    EXPECT_EQ(written.Flags, 0x1093u);
    EXPECT_EQ(device.calls, (Calls{"GetLineState", "SetLineState"}));
}

TEST_F(ComPortTest, NegativeBaudRateReachesTheDeviceAsTyped) {
    OpenQuietly();
    EXPECT_EQ(port->ApplySettings("-9600, N, 8, 1"), 1);
    EXPECT_EQ(device.lineState.BaudRate, static_cast<std::uint32_t>(-9600));
}

TEST_F(ComPortTest, RejectedSettingsShowOneErrorBox) {
    OpenQuietly();
    device.rejectLineState = [](const SerialLineState&) { return EINVAL; };
    EXPECT_EQ(port->ApplySettings("1234, N, 8, 1"), 0);
    EXPECT_EQ(device.errorBoxes, Calls{kInvalidText});
    EXPECT_EQ(port->IsClosed(), 0);
}

struct PollCase {
    const char* name;
    int totalMs;
    int idleMs;
    std::vector<FakePoll> polls;
    int expectedPolls;
    int expectedResult;
};

void PrintTo(const PollCase& c, std::ostream* out) {
    *out << c.name;
}

class PollLoop : public ComPortTest, public testing::WithParamInterface<PollCase> {};

TEST_P(PollLoop, StopsWhereTheLimitsSay) {
    const PollCase& c = GetParam();
    OpenQuietly();
    port->SetTimeouts(c.totalMs, c.idleMs);
    device.polls.assign(c.polls.begin(), c.polls.end());
    Bytes buffer(2048);
    EXPECT_EQ(port->Read(buffer.data(), 2048), c.expectedResult);
    EXPECT_EQ(Polls(), c.expectedPolls);
    EXPECT_EQ(device.sleeps, std::vector<std::uint32_t>(c.expectedPolls, 10));
}

INSTANTIATE_TEST_SUITE_P(
    ComPort, PollLoop,
    testing::Values(
        PollCase{"OnePollAtTenTen", 10, 10, {}, 1, 0},
        PollCase{"OnePollAtTenTenWithData", 10, 10, {FakePoll{Sequence(4)}}, 1, 4},
        PollCase{"TwoPollsAt25And19", 25, 19, {}, 2, 0},
        PollCase{"IdleOneReturnsAtSecondEmptyPoll", 1000, 19, {FakePoll{Sequence(3)}}, 3, 3},
        PollCase{"NoPollAtNineNine", 9, 9, {FakePoll{Sequence(3)}}, 0, 0},
        PollCase{"NoPollWithNegativeLimit", -10, 10, {FakePoll{Sequence(3)}}, 0, 0},
        PollCase{"EmptyPollsBeforeDataOnlyCount",
                 1000,
                 20,
                 {FakePoll{}, FakePoll{}, FakePoll{}, FakePoll{}, FakePoll{Sequence(2)}},
                 8,
                 2},
        PollCase{"DataResetsTheIdleAllowance",
                 1000,
                 20,
                 {FakePoll{Sequence(3)}, FakePoll{}, FakePoll{Sequence(2)}},
                 6,
                 5},
        PollCase{"FailedReadCountsAsEmpty",
                 1000,
                 20,
                 {FakePoll{Sequence(3)}, FakePoll{{}, true}, FakePoll{Sequence(1)}},
                 6,
                 4},
        PollCase{"IdleZeroReturnsAtFirstEmptyPoll", 1000, 0, {FakePoll{Sequence(3)}}, 2, 3},
        PollCase{"PollLimitEndsAStream",
                 50,
                 20,
                 {FakePoll{Sequence(1)}, FakePoll{Sequence(1)}, FakePoll{Sequence(1)},
                  FakePoll{Sequence(1)}, FakePoll{Sequence(1)}, FakePoll{Sequence(1)}},
                 5,
                 5}),
    [](const testing::TestParamInfo<PollCase>& row) { return row.param.name; });

TEST_F(ComPortTest, PollThatFillsTheBufferEndsReadAtOnce) {
    OpenQuietly();
    device.polls = {FakePoll{Sequence(20)}};
    Bytes buffer(12, 0xAA);
    EXPECT_EQ(port->Read(buffer.data(), 8), 8);
    EXPECT_EQ(device.readRequests, std::vector<std::uint32_t>{8});
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 8), Sequence(8));
    EXPECT_EQ(Bytes(buffer.begin() + 8, buffer.end()), Bytes(4, 0xAA));
}

TEST_F(ComPortTest, NoPollAsksForMoreThanWhatIsLeft) {
    OpenQuietly();
    device.polls = {FakePoll{Sequence(5)}, FakePoll{Sequence(10, 5)}};
    Bytes buffer(8);
    EXPECT_EQ(port->Read(buffer.data(), 8), 8);
    EXPECT_EQ(device.readRequests, (std::vector<std::uint32_t>{8, 3}));
    EXPECT_EQ(buffer, Sequence(8));
}

TEST_F(ComPortTest, ReadLargerThanTheStagingAreaIsServedInPieces) {
    OpenQuietly();
    const Bytes arriving = Sequence(10000);
    device.polls = {FakePoll{arriving}};
    Bytes buffer(10000);
    EXPECT_EQ(port->Read(buffer.data(), 10000), 10000);
    EXPECT_EQ(device.readRequests, (std::vector<std::uint32_t>{4096, 4096, 1808}));
    EXPECT_EQ(buffer, arriving);
}

TEST_F(ComPortTest, ReadIntoNothingReturnsAtOnce) {
    OpenQuietly();
    Bytes buffer(1);
    EXPECT_EQ(port->Read(buffer.data(), 0), 0);
    EXPECT_EQ(port->Read(buffer.data(), -5), 0);
    EXPECT_EQ(port->Read(nullptr, 16), 0);
    EXPECT_EQ(device.calls, Calls{});
}

TEST_F(ComPortTest, ChannelClosedDuringAPauseEndsReadWithNothing) {
    OpenQuietly();
    device.polls = {FakePoll{Sequence(3)}};
    int pauses = 0;
    device.onSleep = [&] {
        if (++pauses == 2) {
            port->Close();
        }
    };
    Bytes buffer(16);
    EXPECT_EQ(port->Read(buffer.data(), 16), 0);
    EXPECT_EQ(Polls(), 1);
}

TEST_F(ComPortTest, GoneDeviceClosesTheChannelQuietlyAndItsReturnIsSeenWithoutAnOpen) {
    device.goneError = EIO;
    OpenQuietly();
    device.polls = {FakePoll{Sequence(3000)}, FakePoll{{}, true}};
    Bytes buffer(2048);
    EXPECT_EQ(port->ReadWaiting(buffer.data(), 2048), 2048);
    EXPECT_EQ(port->Read(buffer.data(), 2048), 952);
    EXPECT_EQ(device.calls, (Calls{"ReadAvailable 2048", "Sleep 10", "ReadAvailable 2048",
                                   "Sleep 10", "ReadAvailable 1096", "LastError", "CloseDevice"}));
    EXPECT_EQ(port->IsDeviceGone(), 1);
    EXPECT_TRUE(device.errorBoxes.empty());
    Forget();
    device.present = false;
    EXPECT_EQ(port->IsDevicePresent(), 0);
    EXPECT_EQ(device.calls, Calls{"DeviceExists \\\\.\\COM1"});
}

TEST_F(ComPortTest, WritePausesThenReportsWhatThePlatformWrote) {
    OpenQuietly();
    const Bytes bytes = Sequence(5, 0x30);
    EXPECT_EQ(port->Write(bytes.data(), 5), 5);
    EXPECT_EQ(device.calls, (Calls{"Sleep 2", "Write 5"}));
    EXPECT_EQ(device.bytesWritten, bytes);

    device.writeLimit = 3;
    EXPECT_EQ(port->Write(bytes.data(), 5), 3);
    device.writeLimit = 0;
    EXPECT_EQ(port->Write(bytes.data(), 5), 0);
    EXPECT_TRUE(device.errorBoxes.empty());
}

TEST_F(ComPortTest, PurgeClearsBothQueues) {
    OpenQuietly();
    EXPECT_EQ(port->Purge(), 1);
    EXPECT_EQ(device.calls, Calls{"Purge 12"});
    device.purgeError = EIO;
    EXPECT_EQ(port->Purge(), 0);
    EXPECT_TRUE(device.errorBoxes.empty());
}

TEST_F(ComPortTest, PurgeOnANullHandleNeedsNoPlatformCall) {
    device.handleToHandOut = kNullSerialHandle;
    OpenQuietly();
    EXPECT_EQ(port->IsClosed(), 0);
    EXPECT_EQ(port->Purge(), 0);
    EXPECT_EQ(device.calls, Calls{});
}

}  // namespace
