#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "serial/RecordingSerialDevice.h"
#include "terminal/LogRendering.h"
#include "terminal/ReceiveBuffer.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <random>
#include <string>

namespace {

Bytes Sequence(std::size_t count, std::uint8_t first = 0) {
    Bytes bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::string Rendered(const Bytes& bytes, int format) {
    return RenderReceiveLog(bytes.data(), static_cast<int>(bytes.size()), format);
}

using TerminalWindowLog = TerminalWindowTest;

TEST_F(TerminalWindowLog, ReceivedBytesShowInHexAndAgainInEachFormatPicked) {
    Run([&] {
        ASSERT_TRUE(m_device.Give(Bytes{0x41, 0x0D, 0x0A, 0x42, 0x00}));
        EXPECT_TRUE(LogShows("41  0d  0a  42  00  "));

        struct Row {
            int format;
            std::string shown;
        };
        const Row rows[] = {
            {kLineFormatDec, "065  013  010  066  000  "},
            {kLineFormatText, "A\r\n\r\nB"},
            {kLineFormatHex, "41  0d  0a  42  00  "},
        };
        for (const Row& row : rows) {
            Choose(kIdLogFormat, row.format);
            EXPECT_TRUE(LogShows(row.shown)) << row.format;
        }
        EXPECT_EQ(m_dlg->m_nShown, 5);
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, SixteenItemsALineAndLatin1InText) {
    Run([&] {
        const Bytes bytes = Sequence(17, 0xE0);
        ASSERT_TRUE(m_device.Give(bytes));
        EXPECT_TRUE(
            LogShows("e0  e1  e2  e3  e4  e5  e6  e7  e8  e9  ea  eb  ec  ed  ee  ef  \r\nf0  "));

        Choose(kIdLogFormat, kLineFormatText);
        EXPECT_TRUE(LogShows(std::string(bytes.begin(), bytes.end())));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, ClearEmptiesTheViewAndTheNextBytesStartANewLog) {
    Run([&] {
        ASSERT_TRUE(m_device.Give("AB"));
        ASSERT_TRUE(LogShows("41  42  "));
        Click(kIdClearButton);
        EXPECT_EQ(LogText(), "");
        EXPECT_EQ(m_dlg->m_nFill, 0);
        EXPECT_EQ(m_dlg->m_nShown, 0);
        ASSERT_TRUE(m_device.Give("C"));
        EXPECT_TRUE(LogShows("43  "));
        Click(kIdCancel);
    });
}

TEST_F(TerminalWindowLog, LogStartsAgainWhenItWouldReach2048Bytes) {
    Run([&] {
        const Bytes first(2000, 0x11);
        ASSERT_TRUE(m_device.Give(first));
        ASSERT_TRUE(WaitUntil([&] { return m_dlg->m_nShown == 2000; }));
        EXPECT_EQ(LogText(), Rendered(first, kLineFormatHex));

        Bytes held = first;
        const Bytes more(47, 0x22);
        held.insert(held.end(), more.begin(), more.end());
        ASSERT_TRUE(m_device.Give(more));
        EXPECT_TRUE(LogShows(Rendered(held, kLineFormatHex)));

        // A format change shows the same 2047 bytes again.
        Choose(kIdLogFormat, kLineFormatDec);
        EXPECT_TRUE(LogShows(Rendered(held, kLineFormatDec)));

        ASSERT_TRUE(m_device.Give(Bytes{0x33}));
        EXPECT_TRUE(LogShows("051  "));
        EXPECT_EQ(m_dlg->m_nFill, 1);
        Click(kIdCancel);
    });
}

// Bytes waiting in any number, with CR, LF and NUL often at their ends, among Clears and format
// changes; a tick takes them all, and the log holds what it would have held fed 2048 at a time.
TEST_F(TerminalWindowLog, AfterEveryTickOfARandomRunTheViewShowsTheWholeLog) {
    FakeSerialState port;
    CTerminalDlg dlg(nullptr, [&port] { return std::make_unique<RecordingSerialDevice>(port); });
    std::array<std::uint8_t, kRxBufferBytes> fed{}, piece{};  // the log fed 2048 at a time
    int fedFill = 0, fedShown = 0;
    std::mt19937 random(17);
    const auto below = [&random](int bound) { return static_cast<int>(random() % bound); };
    Run(dlg, [&] {
        dlg.KillTimer(CTerminalDlg::kTimerId);  // only the test's ticks run
        [&] {
            for (int tick = 0; tick < 150; ++tick) {
                if (const int event = below(10); event == 0) {
                    ::Click(dlg, kIdClearButton);
                    ResetReceiveLog(fedFill, fedShown);
                } else if (event == 1) {
                    ::Choose(dlg, kIdLogFormat, below(3));
                }
                Bytes bytes(static_cast<std::size_t>(below(2) == 0 ? below(6000) : below(99)));
                for (std::uint8_t& b : bytes) {
                    b = static_cast<std::uint8_t>(below(3) == 0 ? "\r\n"[below(3)] : random());
                }
                for (std::size_t at = 0; at < bytes.size(); at += kRxPollBytes) {
                    const auto n = std::min<std::size_t>(kRxPollBytes, bytes.size() - at);
                    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), n, piece.begin());
                    UpdateReceiveLog(fed, fedFill, fedShown, false, piece, static_cast<int>(n));
                }
                port.polls.push_back({bytes});
                dlg.OnTimer(CTerminalDlg::kTimerId);
                ASSERT_EQ(dlg.GetDlgItemText(kIdLogView),
                          RenderReceiveLog(dlg.m_rxBuffer.data(), dlg.m_nShown,
                                           dlg.ComboGetCurSel(kIdLogFormat)))
                    << "tick " << tick;
                ASSERT_EQ(Bytes(dlg.m_rxBuffer.begin(), dlg.m_rxBuffer.begin() + dlg.m_nShown),
                          Bytes(fed.begin(), fed.begin() + fedShown))
                    << "tick " << tick;
            }
        }();
        ::Click(dlg, kIdCancel);
    });
}

}  // namespace
