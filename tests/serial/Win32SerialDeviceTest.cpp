#include "serial/CComPort.h"
#include "serial/Win32SerialDevice.h"
#include "support/PtyPeer.h"

#include <cstdint>
#include <memory>
#include <numeric>
#include <string>
#include <system_error>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

// The Windows backend under Wine, on a pseudo-terminal that the Linux side holds as a COM
// port (wine_pty_peer.py runs this program). Each case starts on a fresh pseudo-terminal,
// which has XON/XOFF on, as Wine then reports to the first look at the line state.

namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

constexpr char kDefaultSettings[] = "9600, N, 8, 1";
// No link in the Wine prefix names this one.
constexpr std::uint8_t kMissingPort = 250;
// Each Read of the channel lasts at most about a second; this many of them guard a wait for
// bytes against a hang.
constexpr int kReadAttempts = 20;

Bytes EveryByteValue() {
    Bytes bytes(256);
    std::iota(bytes.begin(), bytes.end(), 0);
    return bytes;
}

Bytes ReadFromChannel(CComPort& channel, std::size_t count) {
    Bytes received;
    Bytes buffer(count);
    for (int attempt = 0; attempt < kReadAttempts && received.size() < count; ++attempt) {
        const int got = channel.Read(buffer.data(), static_cast<int>(count - received.size()));
        received.insert(received.end(), buffer.begin(), buffer.begin() + got);
    }
    return received;
}

class Win32SerialDeviceOnPty : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(port, 0) << "runs under wine_pty_peer.py, which provides the port";
        peer.Renew();
        channel.SetPortNumber(static_cast<std::uint8_t>(port));
    }

    void TearDown() override { EXPECT_EQ(reports, Texts{}); }

    const int port = PtyPeer::PortNumber();
    PtyPeer peer;
    Texts reports;
    CComPort channel{std::make_unique<Win32SerialDevice>(),
                     [this](const std::string& text) { reports.push_back(text); }};
};

// A pseudo-terminal keeps 8 data bits and no parity, so only speed and stop bits show.
TEST_F(Win32SerialDeviceOnPty, BaudRateAndStopBitsReachTheLine) {
    const struct {
        const char* settings;
        std::uint32_t baudRate;
        int stopBits;
    } cases[] = {
        {"19200, N, 8, 2", 19200, 2},
        {"4800, E, 7, 1", 4800, 1},
        {"115200, N, 8, 1", 115200, 1},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(channel.Open(c.settings), 1) << c.settings;
        const PtyPeer::Attributes attributes = peer.LineAttributes();
        EXPECT_EQ(attributes.baudRate, c.baudRate) << c.settings;
        EXPECT_EQ(attributes.stopBits, c.stopBits) << c.settings;
    }
}

// XON (0x11) and XOFF (0x13) among them: were the line's XON/XOFF left on, it would swallow
// them on the way in and stop the way out.
TEST_F(Win32SerialDeviceOnPty, EveryByteValuePassesBothWaysUnchanged) {
    ASSERT_EQ(channel.Open(kDefaultSettings), 1);
    const Bytes all = EveryByteValue();
    peer.Give(all);
    EXPECT_EQ(ReadFromChannel(channel, all.size()), all);
    EXPECT_EQ(channel.Write(all.data(), static_cast<int>(all.size())), 256);
    EXPECT_EQ(peer.Take(all.size()), all);
}

// Also right after the open, before the channel has set the time-outs under which a read
// returns at once.
TEST_F(Win32SerialDeviceOnPty, ReadWithNothingWaitingReturnsNothing) {
    Win32SerialDevice device;
    const SerialHandle handle = device.OpenDevice("\\\\.\\COM" + std::to_string(port));
    ASSERT_NE(handle, kInvalidSerialHandle);
    std::uint8_t buffer[16];
    std::uint32_t count = 99;
    EXPECT_TRUE(device.ReadAvailable(handle, buffer, sizeof buffer, count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(device.CloseDevice(handle));

    ASSERT_EQ(channel.Open(kDefaultSettings), 1);
    EXPECT_EQ(channel.Read(buffer, sizeof buffer), 0);
}

TEST(Win32SerialDevice, MissingPortReportsTheSystemsFileNotFoundText) {
    Texts reports;
    CComPort channel(std::make_unique<Win32SerialDevice>(),
                     [&reports](const std::string& text) { reports.push_back(text); });
    channel.SetPortNumber(kMissingPort);
    EXPECT_EQ(channel.Open(kDefaultSettings), 0);
    EXPECT_EQ(channel.IsClosed(), 1);
    ASSERT_EQ(reports.size(), 1u);
    // The standard library's own reading of the system's text, which leaves out the full stop.
    const std::string notFound = std::system_category().message(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(notFound.empty());
    EXPECT_EQ(reports[0].rfind(notFound, 0), 0u) << reports[0];
}

}  // namespace
