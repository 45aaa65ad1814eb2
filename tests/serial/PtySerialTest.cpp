#include "ChannelBytes.h"
#include "serial/CComPort.h"
#include "serial/LineAttributes.h"
#include "serial/PosixSerialDevice.h"
#include "support/PtyPort.h"
#include "support/ScopedConfigHome.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

constexpr std::uint8_t kPortNumber = 5;
constexpr const char* kPortName = "\\\\.\\COM5";
constexpr const char* kDefaultSettings = "9600, N, 8, 1";
Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::unique_ptr<CComPort> MakeChannel(Texts& boxes) {
    auto channel =
        std::make_unique<CComPort>(std::make_unique<PosixSerialDevice>(),
                                   [&boxes](const std::string& text) { boxes.push_back(text); });
    channel->SetPortNumber(kPortNumber);
    return channel;
}

void ExpectExchange(CComPort& channel, PtyPort& pty) {
    const Bytes ping = BytesOf("ping");
    EXPECT_EQ(channel.Write(ping.data(), 4), 4);
    EXPECT_EQ(pty.ReadFromMaster(4), ping);
    ASSERT_TRUE(pty.WriteToMaster("pong"));
    EXPECT_EQ(ReadFromChannel(channel, 4), BytesOf("pong"));
}

bool StopFlag(const termios& attributes) {
    return (attributes.c_cflag & CSTOPB) != 0;
}

class PtyChannel : public testing::Test {
protected:
    ScopedConfigHome home;
    PtyPort pty{home, kPortNumber};
    Texts boxes;
    std::unique_ptr<CComPort> channel = MakeChannel(boxes);
};

struct LineCase {
    const char* text;
    int result;
    std::uint32_t baudRate;
    bool stopFlag;
};

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class WorkedExampleOnPty : public PtyChannel, public testing::WithParamInterface<LineCase> {};

TEST_P(WorkedExampleOnPty, ReachesTheLine) {
    const LineCase& c = GetParam();
    EXPECT_EQ(channel->Open(c.text), c.result);
    EXPECT_EQ(channel->IsClosed(), 0);
    EXPECT_EQ(pty.MasterBaudRate(), c.baudRate);
    const termios attributes = pty.MasterTermios();
    EXPECT_EQ(StopFlag(attributes), c.stopFlag);
    EXPECT_EQ(attributes.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw from the baseline on";
    if (c.result == 1) {
        EXPECT_EQ(boxes, Texts{});
    } else {
        EXPECT_EQ(boxes, Texts{std::strerror(EINVAL)});
    }
}

INSTANTIATE_TEST_SUITE_P(
    PtyChannel, WorkedExampleOnPty,
    testing::Values(
        LineCase{"9600, N, 8, 1", 1, 9600, false}, LineCase{"19200, E, 7, 2", 1, 19200, true},
        LineCase{"4800, O, 7, 1", 1, 4800, false}, LineCase{"9600, M, 8, 1", 1, 9600, false},
        LineCase{"9600, S, 8, 2", 1, 9600, true}, LineCase{"9600, N, 5, 1.5", 1, 9600, true},
        LineCase{"1200, N, 8, 1", 1, 1200, false},
        // Four data bits: rejected, the line stays at the baseline.
        LineCase{"1234, N, 8, 1", 0, 9600, false}, LineCase{"9600, NONE, 8, 1", 1, 9600, false},
        LineCase{"9600, e, 8, 1", 1, 9600, false}, LineCase{"7, E, 1", 1, 7, false},
        LineCase{"9600 N 8 2", 1, 9600, false},
        // Baud rate 0: rejected likewise.
        LineCase{"", 0, 9600, false}, LineCase{"31250, N, 8, 2", 1, 31250, true},
        // The rate's "5," gives 5 data bits, which a pseudo-terminal takes...
        LineCase{"12345, N, 8, 1", 1, 12345, false},
        // ...but not with two stop bits: the line would send one and a half.
        LineCase{"12345, N, 8, 2", 0, 9600, false}, LineCase{"-9600, N, 8, 1", 0, 9600, false}));

TEST_F(PtyChannel, EveryByteValueCrossesBothWaysUnchanged) {
    ASSERT_EQ(channel->Open(kDefaultSettings), 1);
    const Bytes bytes = EveryByteValue();
    ASSERT_TRUE(pty.WriteToMaster(bytes));
    EXPECT_EQ(ReadFromChannel(*channel, bytes.size()), bytes);

    EXPECT_EQ(channel->Write(bytes.data(), static_cast<int>(bytes.size())), 256);
    EXPECT_EQ(pty.ReadFromMaster(bytes.size()), bytes);
    EXPECT_EQ(boxes, Texts{});
}

TEST_F(PtyChannel, SecondChannelOnTheSamePortIsBusy) {
    ASSERT_EQ(channel->Open(kDefaultSettings), 1);

    Texts secondBoxes;
    std::unique_ptr<CComPort> second = MakeChannel(secondBoxes);
    EXPECT_EQ(second->Open(kDefaultSettings), 0);
    EXPECT_EQ(second->IsClosed(), 1);
    EXPECT_EQ(secondBoxes, Texts{std::strerror(EBUSY)});

    ExpectExchange(*channel, pty);
    EXPECT_EQ(boxes, Texts{});

    ASSERT_EQ(channel->Close(), 1);
    EXPECT_EQ(second->Open(kDefaultSettings), 1);
    ExpectExchange(*second, pty);
}

TEST_F(PtyChannel, RejectedSettingsLeaveTheLineAsItWas) {
    ASSERT_EQ(channel->Open("19200, N, 8, 2"), 1);
    const termios before = pty.MasterTermios();

    EXPECT_EQ(channel->ApplySettings("1234, N, 8, 1"), 0);
    EXPECT_EQ(boxes, Texts{std::strerror(EINVAL)});
    EXPECT_EQ(pty.MasterBaudRate(), 19200u);
    const termios after = pty.MasterTermios();
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    ExpectExchange(*channel, pty);
}

TEST_F(PtyChannel, VanishedDeviceClosesTheChannelQuietlyAndComesBackWhenRelinked) {
    ASSERT_EQ(channel->Open(kDefaultSettings), 1);
    channel->SetTimeouts(100, 20);
    pty.CloseMaster();

    // The write finds the line hung up; the channel lets go of it without a word.
    const Bytes bytes = BytesOf("lost");
    EXPECT_EQ(channel->Write(bytes.data(), 4), 0);
    EXPECT_EQ(channel->IsDeviceGone(), 1);
    EXPECT_EQ(channel->IsDevicePresent(), 0);
    EXPECT_EQ(boxes, Texts{});

    PtyPort replugged(home, kPortNumber);
    EXPECT_EQ(channel->IsDevicePresent(), 1);
    EXPECT_EQ(channel->Open(kDefaultSettings), 1);
    ExpectExchange(*channel, replugged);
}

TEST_F(PtyChannel, CloseRestoresTheLineFoundAtOpen) {
    const termios before = pty.MasterTermios();
    const std::uint32_t rateBefore = pty.MasterBaudRate();

    ASSERT_EQ(channel->Open("31250, O, 7, 2"), 1);
    ASSERT_EQ(pty.MasterBaudRate(), 31250u);
    ASSERT_EQ(channel->Close(), 1);

    const termios after = pty.MasterTermios();
    EXPECT_EQ(pty.MasterBaudRate(), rateBefore);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(std::memcmp(after.c_cc, before.c_cc, sizeof(before.c_cc)), 0);
}

// Another program left the line at a rate given by number rather than by a speed constant:
// a nonstandard one, or a standard one given that way.
class RateByNumberFoundAtOpen : public PtyChannel,
                                public testing::WithParamInterface<std::uint32_t> {};

TEST_P(RateByNumberFoundAtOpen, IsRestoredOnClose) {
    const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_NE(fd, -1);
    termios attributes{};
    ASSERT_EQ(::tcgetattr(fd, &attributes), 0);
    LineAttributes line;
    line.inputFlags = attributes.c_iflag;
    line.outputFlags = attributes.c_oflag;
    line.controlFlags = attributes.c_cflag;
    line.localFlags = attributes.c_lflag;
    std::copy(std::begin(attributes.c_cc), std::end(attributes.c_cc),
              line.controlCharacters.begin());
    line.customBaudRate = GetParam();
    EXPECT_EQ(SetLineAttributes(fd, line), 0);
    ::close(fd);
    ASSERT_EQ(pty.MasterBaudRate(), GetParam());

    ASSERT_EQ(channel->Open("4800, N, 8, 1"), 1);
    ASSERT_EQ(pty.MasterBaudRate(), 4800u);
    ASSERT_EQ(channel->Close(), 1);
    EXPECT_EQ(pty.MasterBaudRate(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(PtyChannel, RateByNumberFoundAtOpen, testing::Values(31250u, 19200u));

TEST_F(PtyChannel, PurgeDiscardsWhatHasArrived) {
    ASSERT_EQ(channel->Open(kDefaultSettings), 1);
    channel->SetTimeouts(100, 20);
    ASSERT_TRUE(pty.WriteToMaster("abcdef"));
    // One write arrives as one piece: once its first byte is here, all of it is.
    ASSERT_EQ(ReadFromChannel(*channel, 1), BytesOf("a"));

    EXPECT_EQ(channel->Purge(), 1);
    Bytes buffer(16);
    EXPECT_EQ(channel->Read(buffer.data(), 16), 0);
}

TEST_F(PtyChannel, PortZeroIsNoSuchFile) {
    channel->SetPortNumber(0);
    EXPECT_EQ(channel->Open(kDefaultSettings), 0);
    EXPECT_EQ(boxes, Texts{std::strerror(ENOENT)});
}

TEST_F(PtyChannel, FileThatIsNoTerminalIsRefused) {
    const std::filesystem::path file = home.Path() / "not-a-port";
    std::ofstream(file) << "text";
    std::filesystem::create_symlink(file, home.PortsFolder() / "com6");
    channel->SetPortNumber(6);
    EXPECT_EQ(channel->Open(kDefaultSettings), 0);
    EXPECT_EQ(channel->IsClosed(), 1);
    EXPECT_EQ(boxes, Texts{std::strerror(ENOTTY)});
}

class PtyDevice : public testing::Test {
protected:
    void SetUp() override {
        handle = device.OpenDevice(kPortName);
        ASSERT_NE(handle, kInvalidSerialHandle);
    }

    void TearDown() override { EXPECT_TRUE(device.CloseDevice(handle)); }

    ScopedConfigHome home;
    PtyPort pty{home, kPortNumber};
    PosixSerialDevice device;
    SerialHandle handle = kInvalidSerialHandle;
};

TEST_F(PtyDevice, RejectedLineStateChangesNothing) {
    SerialLineState state;
    ASSERT_TRUE(device.GetLineState(handle, state));
    state.BaudRate = 19200;
    state.StopBits = kTwoStopBits;
    ASSERT_TRUE(device.SetLineState(handle, state));
    const termios before = pty.MasterTermios();

    for (const auto& [byteSize, stopBits, baudRate] :
         {std::tuple<std::uint8_t, std::uint8_t, std::uint32_t>{4, kOneStopBit, 9600},
          {8, kOne5StopBits, 9600},
          {8, kOneStopBit, 0},
          {8, kOneStopBit, 12345}}) {
        SerialLineState bad = state;
        bad.ByteSize = byteSize;
        bad.StopBits = stopBits;
        bad.BaudRate = baudRate;
        if (baudRate == 12345) {
            bad.Parity = 9;  // a valid custom rate must not reach the line either
        }
        EXPECT_FALSE(device.SetLineState(handle, bad));
        EXPECT_EQ(device.LastError(), EINVAL);
        const termios after = pty.MasterTermios();
        EXPECT_EQ(std::memcmp(&after, &before, sizeof(termios)), 0);
        EXPECT_EQ(pty.MasterBaudRate(), 19200u);
    }
}

TEST_F(PtyDevice, LineStateReadBackKeepsFieldsTheLineHasNoPlaceFor) {
    SerialLineState state;
    ASSERT_TRUE(device.GetLineState(handle, state));
    EXPECT_EQ(state.DCBlength, sizeof(SerialLineState));
    state.BaudRate = 57600;
    state.ByteSize = 7;
    state.Parity = kEvenParity;
    state.StopBits = kTwoStopBits;
    state.Flags = 0x1093 | 0xABC00000;
    state.XonLim = 1234;
    state.ErrorChar = '!';
    state.EvtChar = 'x';
    ASSERT_TRUE(device.SetLineState(handle, state));

    SerialLineState back;
    ASSERT_TRUE(device.GetLineState(handle, back));
    EXPECT_EQ(back.BaudRate, 57600u);
    EXPECT_EQ(back.StopBits, kTwoStopBits);
    EXPECT_EQ(back.Flags, 0x1093u | 0xABC00000u);
    EXPECT_EQ(back.XonLim, 1234);
    EXPECT_EQ(back.ErrorChar, '!');
    EXPECT_EQ(back.EvtChar, 'x');
    // What the line really does: a pseudo-terminal forces 8 data bits without parity.
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, kNoParity);
}

TEST_F(PtyDevice, ReadsNeverWait) {
    Bytes buffer(16);
    std::uint32_t count = 99;
    EXPECT_TRUE(device.ReadAvailable(handle, buffer.data(), 16, count));
    EXPECT_EQ(count, 0u);
}

TEST_F(PtyDevice, WriteStopsAtTheWriteTimeout) {
    SerialLineState state;
    ASSERT_TRUE(device.GetLineState(handle, state));
    state.Flags = 0x1093;
    ASSERT_TRUE(device.SetLineState(handle, state));
    ASSERT_TRUE(
        device.SetTimeouts(handle, SerialTimeouts{kReadIntervalReturnAtOnce, 0, 0, 0, 200}));

    // Nobody reads the master, so the line fills up long before this is through.
    const Bytes bytes(1 << 20, 'x');
    std::uint32_t written = 0;
    EXPECT_FALSE(
        device.Write(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size()), written));
    EXPECT_EQ(device.LastError(), ETIMEDOUT);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, bytes.size());
    EXPECT_TRUE(device.Purge(handle, kPurgeTxClear | kPurgeRxClear));
}

TEST_F(PtyDevice, UnknownHandleIsABadDescriptor) {
    SerialLineState state;
    EXPECT_FALSE(device.GetLineState(SerialHandle{12345}, state));
    EXPECT_EQ(device.LastError(), EBADF);
    EXPECT_FALSE(device.CloseDevice(kInvalidSerialHandle));
    EXPECT_EQ(device.LastError(), EBADF);
}

TEST_F(PtyDevice, ErrorTextIsTheSystemsOwn) {
    EXPECT_EQ(device.ErrorText(EBUSY), std::strerror(EBUSY));
    EXPECT_EQ(device.ErrorText(ENOENT), std::strerror(ENOENT));
    EXPECT_EQ(device.ErrorText(98765), "");
}

TEST(PosixSerialDevice, DeviceOnDescriptorZeroStillGetsARealHandle) {
    ScopedConfigHome home;
    PtyPort pty(home, kPortNumber);
    PosixSerialDevice device;

    // With standard input closed the system hands out descriptor 0 next.
    const int savedInput = ::dup(0);
    ::close(0);
    const SerialHandle handle = device.OpenDevice(kPortName);
    char target[256] = {};
    const ssize_t length = ::readlink("/proc/self/fd/0", target, sizeof(target) - 1);
    const std::string onZero = length > 0 ? std::string(target, length) : std::string();

    EXPECT_EQ(onZero, pty.SlavePath());
    EXPECT_NE(handle, kNullSerialHandle);
    EXPECT_NE(handle, kInvalidSerialHandle);
    const Bytes bytes = BytesOf("ok");
    std::uint32_t written = 0;
    EXPECT_TRUE(device.Write(handle, bytes.data(), 2, written));
    EXPECT_EQ(pty.ReadFromMaster(2), bytes);
    EXPECT_TRUE(device.CloseDevice(handle));

    if (savedInput != -1) {
        ::dup2(savedInput, 0);
        ::close(savedInput);
    }
}

}  // namespace
