#include "codec/LineFormat.h"
#include "terminal/ReceiveBuffer.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include <gtest/gtest.h>

namespace {

constexpr std::uint8_t kUntouched = 0xA5;

// The receive members of the terminal window, and its tick without the channel and the view.
class ReceiveLog : public testing::Test {
protected:
    ReceiveLog() {
        std::fill(std::begin(m_rxBuffer), std::end(m_rxBuffer), kUntouched);
        std::fill(std::begin(m_rxChunk), std::end(m_rxChunk), kUntouched);
    }

    // One tick on which `arrived` came from the poll. Returns the bytes the view is rendered
    // from, or nothing when the view is left alone.
    std::optional<ByteArray> Tick(const ByteArray& arrived) {
        std::copy(arrived.begin(), arrived.end(), std::begin(m_rxChunk));
        return TickWithCount(static_cast<int>(arrived.size()));
    }

    std::optional<ByteArray> TickWithCount(int n) {
        if (!UpdateReceiveLog(m_rxBuffer, m_nFill, m_nShown, m_bRedraw != 0, m_rxChunk, n)) {
            return std::nullopt;
        }
        m_bRedraw = 0;
        return Held();
    }

    ByteArray Held() const { return ByteArray(m_rxBuffer, m_rxBuffer + m_nShown); }

    bool UpperHalfUntouched() const {
        return std::all_of(m_rxBuffer + kRxPollBytes, std::end(m_rxBuffer),
                           [](std::uint8_t b) { return b == kUntouched; });
    }

    // Plain arrays, as the window holds them.
    std::uint8_t m_rxBuffer[kRxBufferBytes];
    std::uint8_t m_rxChunk[kRxBufferBytes];
    int m_nShown = 0;
    int m_nFill = 0;
    int m_bRedraw = 0;
};

ByteArray Bytes(std::size_t count, std::uint8_t first) {
    ByteArray bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

ByteArray Joined(const ByteArray& a, const ByteArray& b) {
    ByteArray joined = a;
    joined.insert(joined.end(), b.begin(), b.end());
    return joined;
}

TEST_F(ReceiveLog, BytesAppendUntilTheLogWouldReachTheLimit) {
    const ByteArray first = Bytes(2000, 1);
    const ByteArray second = Bytes(47, 9);
    EXPECT_EQ(Tick(first), first);
    EXPECT_EQ(Tick(second), Joined(first, second));
    EXPECT_EQ(m_nFill, 2047);

    const ByteArray one{0x42};
    EXPECT_EQ(Tick(one), one);
    EXPECT_EQ(m_nFill, 1);
    EXPECT_EQ(m_nShown, 1);
}

TEST_F(ReceiveLog, PollThatWouldOverflowStartsANewLog) {
    Tick(Bytes(100, 3));
    const ByteArray big = Bytes(1950, 200);
    EXPECT_EQ(Tick(big), big);
    EXPECT_EQ(m_nFill, 1950);
}

TEST_F(ReceiveLog, OnePollOfTheFullSizeShowsEveryByte) {
    const ByteArray full = Bytes(2048, 0);
    EXPECT_EQ(Tick(full), full);
    EXPECT_EQ(m_nFill, 2048);
    EXPECT_EQ(m_nShown, 2048);
    EXPECT_TRUE(UpperHalfUntouched());
}

TEST_F(ReceiveLog, FormatChangeWithAFullLogReRendersWithoutRestart) {
    const ByteArray full = Bytes(2048, 7);
    Tick(full);
    m_bRedraw = 1;
    EXPECT_EQ(Tick({}), full);
    EXPECT_EQ(m_bRedraw, 0);

    // The next bytes still start a new log.
    const ByteArray next{0x01, 0x02};
    EXPECT_EQ(Tick(next), next);
}

TEST_F(ReceiveLog, FormatChangeReRendersTheBytesHeld) {
    const ByteArray held = Bytes(10, 0x30);
    Tick(held);
    m_bRedraw = 1;
    EXPECT_EQ(Tick({}), held);
    EXPECT_EQ(m_nFill, 10);
}

TEST_F(ReceiveLog, FormatChangeOnAnEmptyLogRendersEmpty) {
    m_bRedraw = 1;
    EXPECT_EQ(Tick({}), ByteArray{});
}

TEST_F(ReceiveLog, IdleTickLeavesEverythingAlone) {
    const ByteArray held = Bytes(5, 1);
    Tick(held);
    EXPECT_EQ(Tick({}), std::nullopt);
    EXPECT_EQ(TickWithCount(-1), std::nullopt);
    EXPECT_EQ(m_nFill, 5);
    EXPECT_EQ(m_nShown, 5);
    EXPECT_EQ(Held(), held);
}

TEST_F(ReceiveLog, FailedPollWithFormatChangeCountsAsNoBytes) {
    const ByteArray held = Bytes(2047, 1);
    Tick(held);
    m_bRedraw = 1;
    EXPECT_EQ(TickWithCount(-1), held);
}

TEST_F(ReceiveLog, PollCountAboveTheLimitTakesOnlyTheLimit) {
    std::fill(std::begin(m_rxChunk), std::end(m_rxChunk), 0x11);
    const auto shown = TickWithCount(kRxBufferBytes);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->size(), 2048u);
    EXPECT_TRUE(UpperHalfUntouched());
}

TEST_F(ReceiveLog, ResetStartsANewLog) {
    Tick(Bytes(300, 1));
    ResetReceiveLog(m_nFill, m_nShown);
    EXPECT_EQ(m_nFill, 0);
    EXPECT_EQ(m_nShown, 0);
    const ByteArray next = Bytes(3, 0x61);
    EXPECT_EQ(Tick(next), next);
}

TEST_F(ReceiveLog, FillLevelOutOfRangeCountsAsEmptyLog) {
    for (const int badFill : {-5, 2049, 4095, 100000}) {
        m_nFill = badFill;
        const ByteArray arrived = Bytes(4, 0x70);
        EXPECT_EQ(Tick(arrived), arrived) << "fill " << badFill;
        EXPECT_EQ(m_nFill, 4);
        m_nFill = badFill;
        m_bRedraw = 1;
        EXPECT_EQ(Tick({}), ByteArray{}) << "fill " << badFill;
    }
    EXPECT_TRUE(UpperHalfUntouched());
}

}  // namespace
