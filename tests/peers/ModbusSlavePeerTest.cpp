#include "codec/ModbusCrc16.h"
#include "serial/CComPort.h"
#include "serial/PosixSerialDevice.h"
#include "support/ModbusSlavePeer.h"
#include "support/ScopedConfigHome.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;

constexpr std::uint8_t kPortNumber = 7;
// Each Read of the channel lasts at most about a second; this many of them guard a wait for
// a reply against a hang without any demand on the machine's speed.
constexpr int kReadAttempts = 20;

// Requests with their CRC as a Modbus master sends them.
const Bytes kReadTenFromZero{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
const Bytes kReadTwoFromZero{0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B};
const Bytes kReadTwoFromZeroReply{0x01, 0x03, 0x04, 0x00, 0x01, 0x00, 0x02, 0x2A, 0x32};

std::unique_ptr<CComPort> MakeChannel(Texts& boxes) {
    auto channel =
        std::make_unique<CComPort>(std::make_unique<PosixSerialDevice>(),
                                   [&boxes](const std::string& text) { boxes.push_back(text); });
    channel->SetPortNumber(kPortNumber);
    return channel;
}

void Send(CComPort& channel, const Bytes& bytes) {
    ASSERT_EQ(channel.Write(bytes.data(), static_cast<int>(bytes.size())),
              static_cast<int>(bytes.size()));
}

// Reads from the channel until `count` bytes have come or the attempts are used up.
Bytes Receive(CComPort& channel, std::size_t count) {
    Bytes received;
    Bytes buffer(count);
    for (int attempt = 0; attempt < kReadAttempts && received.size() < count; ++attempt) {
        const int got = channel.Read(buffer.data(), static_cast<int>(count - received.size()));
        received.insert(received.end(), buffer.begin(), buffer.begin() + got);
    }
    return received;
}

std::vector<std::uint16_t> RegisterValues(const Bytes& reply) {
    std::vector<std::uint16_t> values;
    for (std::size_t at = 3; at + 3 < reply.size(); at += 2) {
        values.push_back(static_cast<std::uint16_t>(reply[at] << 8 | reply[at + 1]));
    }
    return values;
}

bool ProcessIsGone(pid_t pid) {
    return ::kill(pid, 0) == -1 && errno == ESRCH;
}

class ModbusSlaveOnLine : public testing::Test {
protected:
    void SetUp() override {
        if (!ModbusSlavePeer::Available()) {
            GTEST_SKIP() << ModbusSlavePeer::MissingTools();
        }
        peer.emplace(home, kPortNumber, Setup());
        channel = MakeChannel(boxes);
        ASSERT_EQ(channel->Open(ModbusSlavePeer::kLineSettings), 1);
    }

    virtual ModbusSlaveSetup Setup() const { return {}; }

    // The slave's reply to `request`, which must be the first bytes that come back.
    Bytes Ask(const Bytes& request, std::size_t replySize) {
        Send(*channel, request);
        return Receive(*channel, replySize);
    }

    ScopedConfigHome home;
    std::optional<ModbusSlavePeer> peer;
    Texts boxes;
    std::unique_ptr<CComPort> channel;
};

TEST_F(ModbusSlaveOnLine, ReadOfTenHoldingRegistersIsAnsweredWithTheirValues) {
    const Bytes reply = Ask(kReadTenFromZero, 25);

    ASSERT_EQ(reply.size(), 25u) << peer->ErrorOutput();
    EXPECT_EQ(reply[0], 0x01);
    EXPECT_EQ(reply[1], 0x03);
    EXPECT_EQ(reply[2], 20);
    EXPECT_EQ(RegisterValues(reply), peer->Setup().holdingRegisters);
    EXPECT_EQ(ModbusCrc16(reply.data(), 25), 0) << "the CRC over a whole frame is zero";
    EXPECT_EQ(reply, peer->ReadHoldingRegistersReply(0, 10));
    EXPECT_EQ(peer->Replies(), std::vector<Bytes>{reply});
    EXPECT_EQ(peer->DiscardedFrames(), std::vector<Bytes>{});
    EXPECT_EQ(peer->BytesReceived(), kReadTenFromZero.size());
    EXPECT_EQ(boxes, Texts{});
}

struct ReadCase {
    const char* name;
    Bytes request;
    std::uint16_t first;
    std::uint16_t count;
    Bytes reply;
};

TEST_F(ModbusSlaveOnLine, ReadsAreAnsweredAsTheSetupSays) {
    const ReadCase cases[] = {
        {"the last register",
         {0x01, 0x03, 0x00, 0x09, 0x00, 0x01, 0x54, 0x08},
         9,
         1,
         {0x01, 0x03, 0x02, 0xFF, 0xFF, 0xB9, 0xF4}},
        {"the first two", kReadTwoFromZero, 0, 2, kReadTwoFromZeroReply},
        {"past the last register",
         {0x01, 0x03, 0x00, 0x09, 0x00, 0x02, 0x14, 0x09},
         9,
         2,
         {0x01, 0x83, 0x02, 0xC0, 0xF1}},
        {"no register",
         {0x01, 0x03, 0x00, 0x00, 0x00, 0x00, 0x45, 0xCA},
         0,
         0,
         {0x01, 0x83, 0x03, 0x01, 0x31}},
        {"126 registers",
         {0x01, 0x03, 0x00, 0x00, 0x00, 0x7E, 0xC5, 0xEA},
         0,
         126,
         {0x01, 0x83, 0x03, 0x01, 0x31}},
    };
    std::size_t asked = 0;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Ask(c.request, c.reply.size()), c.reply) << peer->ErrorOutput();
        EXPECT_EQ(peer->ReadHoldingRegistersReply(c.first, c.count), c.reply);
        ++asked;
        EXPECT_TRUE(peer->WaitForReplies(asked));
    }
    EXPECT_EQ(peer->DiscardedFrames(), std::vector<Bytes>{});
}

struct UnansweredCase {
    const char* name;
    Bytes bytes;
};

// Each unanswered frame is followed by a request that must get its own reply first: had the
// slave answered the frame, that answer would have come before it.
TEST_F(ModbusSlaveOnLine, FramesItCannotAnswerGetNoReplyAndTheSlaveKeepsServing) {
    const UnansweredCase cases[] = {
        {"wrong CRC", {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCE}},
        {"another unit", {0x02, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xFE}},
        {"incomplete frame", {0x01, 0x03, 0x00}},
        {"text", {'A', 'T', '\r', '\n'}},
    };
    std::vector<Bytes> discarded;
    for (const UnansweredCase& c : cases) {
        SCOPED_TRACE(c.name);
        Send(*channel, c.bytes);
        discarded.push_back(c.bytes);
        // Only once it is gone may the request follow: arriving together, the two would
        // make one bad frame.
        ASSERT_TRUE(peer->WaitForDiscardedFrames(discarded.size())) << peer->ErrorOutput();
        EXPECT_EQ(peer->DiscardedFrames(), discarded);
        EXPECT_EQ(Ask(kReadTwoFromZero, kReadTwoFromZeroReply.size()), kReadTwoFromZeroReply);
    }
    EXPECT_EQ(peer->Replies(), std::vector<Bytes>(std::size(cases), kReadTwoFromZeroReply));
}

TEST_F(ModbusSlaveOnLine, WrittenRegisterReadsBack) {
    const Bytes write{0x01, 0x06, 0x00, 0x01, 0xBE, 0xEF, 0xE8, 0x26};
    EXPECT_EQ(Ask(write, write.size()), write) << "a single write is answered by its echo";
    EXPECT_EQ(Ask({0x01, 0x03, 0x00, 0x01, 0x00, 0x01, 0xD5, 0xCA}, 7),
              (Bytes{0x01, 0x03, 0x02, 0xBE, 0xEF, 0x88, 0x68}));
}

TEST_F(ModbusSlaveOnLine, ChannelThatClosesAndOpensAgainIsStillAnswered) {
    ASSERT_EQ(channel->Close(), 1);
    ASSERT_EQ(channel->Open(ModbusSlavePeer::kLineSettings), 1);
    EXPECT_EQ(Ask(kReadTwoFromZero, kReadTwoFromZeroReply.size()), kReadTwoFromZeroReply);
    EXPECT_EQ(boxes, Texts{});
}

TEST_F(ModbusSlaveOnLine, StopEndsBothProcessesAndRemovesTheLink) {
    const pid_t slave = peer->SlaveProcessId();
    const pid_t relay = peer->RelayProcessId();
    ASSERT_TRUE(std::filesystem::is_symlink(peer->LinkPath()));
    EXPECT_EQ(std::filesystem::read_symlink(peer->LinkPath()), peer->DevicePath());

    EXPECT_TRUE(peer->Stop()) << peer->ErrorOutput();
    EXPECT_TRUE(ProcessIsGone(slave));
    EXPECT_TRUE(ProcessIsGone(relay));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(peer->LinkPath())));
    EXPECT_TRUE(peer->Stop()) << "a second stop changes nothing";
    EXPECT_FALSE(peer->WaitForReplies(1));
}

class ModbusSlaveOfAnotherUnit : public ModbusSlaveOnLine {
protected:
    ModbusSlaveSetup Setup() const override { return {.unitId = 17, .holdingRegisters = {0x1234}}; }
};

TEST_F(ModbusSlaveOfAnotherUnit, AnswersItsOwnUnitOnly) {
    const Bytes forUnitOne{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};
    Send(*channel, forUnitOne);
    ASSERT_TRUE(peer->WaitForDiscardedFrames(1)) << peer->ErrorOutput();

    const Bytes reply = Ask({0x11, 0x03, 0x00, 0x00, 0x00, 0x01, 0x86, 0x9A}, 7);
    EXPECT_EQ(reply, (Bytes{0x11, 0x03, 0x02, 0x12, 0x34, 0x74, 0xF0}));
    EXPECT_EQ(peer->ReadHoldingRegistersReply(0, 1), reply);
    EXPECT_EQ(peer->DiscardedFrames(), std::vector<Bytes>{forUnitOne});
}

TEST(ModbusSlavePeer, SlaveThatCannotStartIsReportedWithWhatItSaid) {
    if (!ModbusSlavePeer::Available()) {
        GTEST_SKIP() << ModbusSlavePeer::MissingTools();
    }
    ScopedConfigHome home;
    try {
        ModbusSlavePeer peer(home, kPortNumber, {.unitId = 0});
        ADD_FAILURE() << "a slave for unit 0 started";
    } catch (const std::runtime_error& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find("did not start"), std::string::npos) << text;
        EXPECT_NE(text.find("exited with status 2"), std::string::npos) << text;
        EXPECT_NE(text.find("--unit must be 1 to 247"), std::string::npos) << text;
    }
    EXPECT_FALSE(std::filesystem::exists(home.PortsFolder() / "com7"));
}

}  // namespace
