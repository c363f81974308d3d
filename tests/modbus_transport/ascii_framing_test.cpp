#include <gtest/gtest.h>

#include <future>

#include "modbus/modbus_ascii.h"
#include "tests/modbus_transport/connection_helpers.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

// A reply the peer gives ends the wait, however loaded the machine is; only the exchanges that
// must expire wait the short time.
constexpr uint32_t kReplyWaitMs = 10000;
constexpr uint32_t kExpiryMs = 400;
constexpr int kPeerWaitMs = 2000;

const Bytes kReadTwoRequest = AsciiFrame({0x01, 0x03, 0x00, 0x25, 0x00, 0x02});
const Bytes kGoodReply = AsciiFrame(RegisterReply(1, 3, {0x1234, 0xBEEF}));

class AsciiFraming : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(peer.SlavePath().empty());
        master.reset(new ModBusAscii(peer.SlavePath().c_str(), 19200, 2, 7, 0));
        ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
    }

    // Reads two holding registers from 37 while the peer answers with the given chunks, each
    // written once the master has read the one before, so that it sees them separately.
    int32_t ReadTwoRegisters(const std::vector<Bytes>& chunks, uint16_t* values,
                             uint32_t timeoutMs = kReplyWaitMs) {
        auto result = std::async(std::launch::async, [&] {
            return master->ReadHoldingRegisters(timeoutMs, 1, 2, 37, values);
        });
        EXPECT_EQ(peer.ReadUntil('\n', kPeerWaitMs), kReadTwoRequest);
        for (const Bytes& chunk : chunks) {
            peer.Write(chunk);
            EXPECT_TRUE(peer.WaitUntilTaken(kPeerWaitMs));
        }
        return result.get();
    }

    PtyPeer peer;
    ConnectionPtr<ModBusAscii> master;
};

TEST_F(AsciiFraming, SendsTheKnownFrame) {
    uint16_t values[26] = {};
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kExpiryMs, 1, 26, 37, values);
    });
    EXPECT_EQ(peer.ReadUntil('\n', kPeerWaitMs), Text(":01030025001ABD\r\n"));
    EXPECT_EQ(StatusOf(result.get()), 18);
}

struct ReplyCase {
    const char* name;
    std::vector<Bytes> chunks;
    int32_t result;  // 2, or minus the failure for unit 1
};

TEST_F(AsciiFraming, AcceptsIntactRepliesAndDropsDamagedOnes) {
    const int32_t timedOut = -(1 << 16 | 18);
    const Bytes body(kGoodReply.begin() + 1, kGoodReply.end());
    const ReplyCase cases[] = {
        {"whole reply", {kGoodReply}, 2},
        {"colon alone, then the rest in pieces",
         {Text(":"), Bytes(body.begin(), body.begin() + 5), Bytes(body.begin() + 5, body.end())},
         2},
        {"lower-case digits", {Text(":0103041234beef05\r\n")}, 2},
        {"noise before the colon", {Text("\x7f zz\r\n"), kGoodReply}, 2},
        {"a frame cut short by a new colon", {Text(":0103041234"), kGoodReply}, 2},
        {"too short to be a reply, then a good one", {Text(":FF01\r\n"), kGoodReply}, 2},
        {"bad LRC", {Text(":0103041234BEEF06\r\n")}, timedOut},
        {"odd number of digits", {Text(":0103041234BEEF05F\r\n")}, timedOut},
        // Only ":", CR, LF and digits count: what else the line adds is not part of a frame.
        {"a blank inside the frame", {Text(":0103041234 BEEF05\r\n")}, 2},
        {"a letter that is no digit", {Text(":0103041234BxEEF05\r\n")}, 2},
        {"a NUL inside the frame", {Concat({Text(":01030412"), {0x00}, Text("34BEEF05\r\n")})}, 2},
        {"bytes above 0x7F between CR and LF",
         {Concat({Text(":0103041234BEEF05\r"), {0xFF}, Text("\n")})},
         2},
    };
    for (const ReplyCase& c : cases) {
        uint16_t values[2] = {};
        const uint32_t timeoutMs = c.result == timedOut ? kExpiryMs : kReplyWaitMs;
        EXPECT_EQ(ReadTwoRegisters(c.chunks, values, timeoutMs), c.result) << c.name;
        if (c.result == 2) {
            EXPECT_EQ(values[0], 0x1234) << c.name;
            EXPECT_EQ(values[1], 0xBEEF) << c.name;
        }
    }
}

TEST_F(AsciiFraming, AFrameThatNeverEndsDoesNotBlockTheReplyAfterIt) {
    // A ":" and then 64 KiB of digits with no CR LF: the frame can never be a reply, and the
    // reply that follows must still be taken.
    const Bytes endless = Concat({Text(":"), Bytes(65536, '0')});
    uint16_t values[2] = {};
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 37, values);
    });
    EXPECT_EQ(peer.ReadUntil('\n', kPeerWaitMs), kReadTwoRequest);
    peer.Write(endless);
    peer.Write(kGoodReply);
    EXPECT_EQ(result.get(), 2);
    EXPECT_EQ(values[1], 0xBEEF);
}

TEST_F(AsciiFraming, AcceptsAnLrcOf0x80) {
    uint16_t value = 0;
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kReplyWaitMs, 1, 1, 0, &value);
    });
    peer.ReadUntil('\n', kPeerWaitMs);
    // 01 + 03 + 02 + 00 + 7A = 0x80, whose two's complement is 0x80 again.
    peer.Write(Text(":010302007A80\r\n"));
    EXPECT_EQ(result.get(), 1);
    EXPECT_EQ(value, 0x7A);
}

TEST_F(AsciiFraming, ExceptionReplyCompletesWithItsCode) {
    uint16_t values[2] = {};
    EXPECT_EQ(ReadTwoRegisters({AsciiFrame({0x01, 0x83, 0x02})}, values), -65538);
}

}  // namespace
