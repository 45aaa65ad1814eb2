#include "ChannelBytes.h"
#include "serial/CComPort.h"
#include "serial/Win32SerialDevice.h"
#include "support/MessageBoxObserver.h"
#include "ui/MessageBoxes.h"
#include "win32/WideText.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

#include <gtest/gtest.h>

// The Windows backend under Wine, on a pseudo-terminal that the Linux side holds as a COM
// port: wine_pty_peer.py runs this program and answers its requests, one line each way on
// standard output and input. Each case starts on a fresh pseudo-terminal, which has XON/XOFF
// on, and Wine reports that in the first look at the line state.

namespace {

using Texts = std::vector<std::string>;

constexpr char kDefaultSettings[] = "9600, N, 8, 1";
// No link in the Wine prefix names this one.
constexpr std::uint8_t kMissingPort = 250;
constexpr int kHexBase = 16;
constexpr char kHexDigits[] = "0123456789abcdef";

std::string AskPty(const std::string& request) {
    std::cout << "@pty " << request << std::endl;
    std::string answer;
    std::getline(std::cin, answer);
    return answer;
}

std::string Hex(const Bytes& bytes) {
    std::ostringstream hex;
    for (const std::uint8_t byte : bytes) {
        hex << kHexDigits[byte / kHexBase] << kHexDigits[byte % kHexBase];
    }
    return hex.str();
}

class Win32SerialDeviceOnPty : public testing::Test {
protected:
    void SetUp() override {
        const char* port = std::getenv("QUENLARK_PTY_PORT");
        ASSERT_NE(port, nullptr) << "runs under wine_pty_peer.py, which provides the port";
        portName = "\\\\.\\COM" + std::string(port);
        AskPty("renew");
        channel.SetPortNumber(static_cast<std::uint8_t>(std::atoi(port)));
    }

    void TearDown() override { EXPECT_EQ(reports, Texts{}); }

    std::string portName;
    Texts reports;
    CComPort channel{std::make_unique<Win32SerialDevice>(),
                     [this](const std::string& text) { reports.push_back(text); }};
};

// A pseudo-terminal keeps 8 data bits and no parity, so only speed and stop bits show.
TEST_F(Win32SerialDeviceOnPty, BaudRateAndStopBitsReachTheLine) {
    for (const auto& [settings, speedAndStopBits] : {
             std::pair{"19200, N, 8, 2", "19200 2"},
             std::pair{"4800, E, 7, 1", "4800 1"},
             std::pair{"115200, N, 8, 1", "115200 1"},
         }) {
        ASSERT_EQ(channel.Open(settings), 1) << settings;
        EXPECT_EQ(AskPty("attributes"), speedAndStopBits) << settings;
    }
}

// XON (0x11) and XOFF (0x13) among them: were the line's XON/XOFF left on, it would swallow
// them on the way in and stop the way out.
TEST_F(Win32SerialDeviceOnPty, EveryByteValuePassesBothWaysUnchanged) {
    ASSERT_EQ(channel.Open(kDefaultSettings), 1);
    const Bytes all = EveryByteValue();
    AskPty("give " + Hex(all));
    EXPECT_EQ(ReadFromChannel(channel, all.size()), all);
    EXPECT_EQ(channel.Write(all.data(), static_cast<int>(all.size())), 256);
    EXPECT_EQ(AskPty("take 256"), Hex(all));
}

// Also right after the open, before the channel has set the time-outs under which a read
// returns at once.
TEST_F(Win32SerialDeviceOnPty, ReadWithNothingWaitingReturnsNothing) {
    Win32SerialDevice device;
    const SerialHandle handle = device.OpenDevice(portName);
    ASSERT_NE(handle, kInvalidSerialHandle);
    std::uint8_t buffer[16];
    std::uint32_t count = 99;
    EXPECT_TRUE(device.ReadAvailable(handle, buffer, sizeof buffer, count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(device.CloseDevice(handle));

    ASSERT_EQ(channel.Open(kDefaultSettings), 1);
    EXPECT_EQ(channel.Read(buffer, sizeof buffer), 0);
}

// The error box shows the system's own wide text, whatever the user's language: in a Russian
// locale (a run sets the code page it expects) an ANSI text would reach it garbled.
TEST(Win32SerialDevice, MissingPortReportsTheSystemsFileNotFoundText) {
    if (const char* codePage = std::getenv("QUENLARK_EXPECTED_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), std::stoul(codePage)) << "the locale is missing";
    }
    MessageBoxObserver observer;
    CComPort channel(std::make_unique<Win32SerialDevice>(),
                     [](const std::string& text) { ShowErrorBox(text); });
    channel.SetPortNumber(kMissingPort);
    EXPECT_EQ(channel.Open(kDefaultSettings), 0);
    EXPECT_EQ(channel.IsClosed(), 1);
    ASSERT_EQ(observer.Shown().size(), 1u);
    wchar_t notFound[256] = {};
    ASSERT_NE(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_FILE_NOT_FOUND, 0, notFound, std::size(notFound), nullptr),
              0u);
    const std::string& text = observer.Shown()[0].text;
    EXPECT_EQ(WideFromUtf8(text) + L"\r\n", notFound) << text;
}

}  // namespace
