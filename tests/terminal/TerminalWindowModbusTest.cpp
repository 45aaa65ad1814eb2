#include "TerminalWindowTest.h"
#include "codec/LineFormat.h"
#include "codec/ModbusCrc16.h"
#include "support/ModbusSlavePeer.h"
#include "support/ScopedConfigHome.h"

#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint8_t kSlavePort = 8;
constexpr std::uint16_t kRegisterCount = 10;

// The bytes a Hex log shows: every item is two hexadecimal digits.
Bytes HexLogBytes(const std::string& log) {
    Bytes bytes;
    std::istringstream items(log);
    std::string item;
    while (items >> item) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(item, nullptr, 16)));
    }
    return bytes;
}

std::vector<std::uint16_t> RegisterValues(const Bytes& reply) {
    std::vector<std::uint16_t> values;
    for (std::size_t at = 3; at + 3 < reply.size(); at += 2) {
        values.push_back(static_cast<std::uint16_t>(reply[at] << 8 | reply[at + 1]));
    }
    return values;
}

TEST_F(TerminalWindowTest, ModbusRequestGetsItsChecksumFromMbAndTheSlavesReplyShowsInTheLog) {
    if (!ModbusSlavePeer::Available()) {
        GTEST_SKIP() << ModbusSlavePeer::MissingTools();
    }
    ScopedConfigHome home;
    ModbusSlavePeer slave(home, kSlavePort);
    const Bytes expected = slave.ReadHoldingRegistersReply(0, kRegisterCount);

    Run(
        *m_dlg,
        [&] {
            Choose(kIdLineFormat1, kLineFormatHex);
            Type(kIdLineEdit1, "01,03,00,00,00,0a,00,00");
            Click(kIdMbButton1);
            EXPECT_EQ(Text(kIdLineEdit1), "01,03,00,00,00,0a,c5,cd");
            Click(kIdSendButton1);

            ASSERT_TRUE(slave.WaitForReplies(1)) << slave.ErrorOutput();
            ASSERT_TRUE(WaitUntil([&] { return HexLogBytes(LogText()).size() >= expected.size(); }))
                << LogText();
            const Bytes shown = HexLogBytes(LogText());
            EXPECT_EQ(shown, expected);
            EXPECT_EQ(slave.Replies(), std::vector<Bytes>{expected});
            ASSERT_EQ(shown.size(), 3u + 2u * kRegisterCount + 2u);
            EXPECT_EQ(shown[0], 0x01);
            EXPECT_EQ(shown[1], 0x03);
            EXPECT_EQ(shown[2], 2 * kRegisterCount);
            EXPECT_EQ(RegisterValues(shown), slave.Setup().holdingRegisters);
            // A frame with its CRC appended checks to zero.
            EXPECT_EQ(ModbusCrc16(shown.data(), static_cast<std::uint32_t>(shown.size())), 0);
            Click(kIdCancel);
        },
        kSlavePort);
    EXPECT_EQ(slave.BytesReceived(), 8u);
    EXPECT_TRUE(slave.DiscardedFrames().empty());
}

}  // namespace
