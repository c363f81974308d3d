#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <string>

#include "modbus/modbus_rtu.h"
#include "temp_store.h"
#include "tests/modbus_transport/connection_helpers.h"
#include "tests/modbus_transport/scripted_peer.h"

namespace {

// A reply the peer gives ends the wait, however loaded the machine is; only the exchanges that
// must expire wait the short time.
constexpr uint32_t kReplyWaitMs = 10000;
constexpr uint32_t kExpiryMs = 400;
constexpr int kPeerWaitMs = 2000;

const Bytes kReadTwoRequest = RtuFrame({0x01, 0x03, 0x00, 0x25, 0x00, 0x02});
const Bytes kGoodReply = RtuFrame(RegisterReply(1, 3, {0x1234, 0xBEEF}));

class RtuFraming : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(peer.SlavePath().empty());
        master.reset(new ModBusRTU(peer.SlavePath().c_str(), 19200, 0, 8, 0));
        ASSERT_TRUE(master->IsOpen()) << master->GetErrorText();
    }

    // Reads two holding registers from 37 while the peer answers with `reply`.
    int32_t ReadTwoRegisters(const Bytes& reply, bool slowly, uint16_t* values,
                             uint32_t timeoutMs = kReplyWaitMs) {
        auto result = std::async(std::launch::async, [&] {
            return master->ReadHoldingRegisters(timeoutMs, 1, 2, 37, values);
        });
        EXPECT_EQ(peer.Read(kReadTwoRequest.size(), kPeerWaitMs), kReadTwoRequest);
        slowly ? peer.WriteSlowly(reply) : peer.Write(reply);
        return result.get();
    }

    PtyPeer peer;
    ConnectionPtr<ModBusRTU> master;
};

TEST_F(RtuFraming, SendsTheKnownFrameAndDecodesTheReply) {
    std::vector<uint16_t> expected(26);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<uint16_t>(0x100 * i + 7);
    uint16_t values[26] = {};
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kReplyWaitMs, 1, 26, 37, values);
    });
    EXPECT_EQ(peer.Read(8, kPeerWaitMs), (Bytes{0x01, 0x03, 0x00, 0x25, 0x00, 0x1A, 0xD5, 0xCA}));
    peer.Write(RtuFrame(RegisterReply(1, 3, expected)));
    ASSERT_EQ(result.get(), 26);
    EXPECT_EQ(std::vector<uint16_t>(values, values + 26), expected);
}

struct ReplyCase {
    const char* name;
    Bytes reply;
    bool slowly;
    int32_t result;  // 2, or minus the failure for unit 1
};

TEST_F(RtuFraming, CutsRepliesOutOfWhateverArrives) {
    Bytes corrupt = kGoodReply;
    corrupt.back() ^= 0x01;
    const ReplyCase cases[] = {
        {"whole reply", kGoodReply, false, 2},
        {"one byte at a time", kGoodReply, true, 2},
        {"garbage before the frame", Concat({{0xFF, 0x00, 0x55, 0x07}, kGoodReply}), false, 2},
        {"line noise before the frame", Concat({{0x00, 0xFF, 0xFF}, kGoodReply}), true, 2},
        // Noise that reads as the start of a long frame must not hold the reply behind it.
        {"noise announcing a long frame", Concat({{0x00, 0x03, 0xFF}, kGoodReply}), false, 2},
        {"the same, byte by byte", Concat({{0x00, 0x03, 0xFF}, kGoodReply}), true, 2},
        {"a long frame of our own unit", Concat({{0x01, 0x03, 0xFF}, kGoodReply}), false, 2},
        {"a block read of our unit", Concat({{0x01, 0x42, 0x31, 0xFF}, kGoodReply}), true, 2},
        {"corrupt CRC only", corrupt, false, -(1 << 16 | 18)},
    };
    for (const ReplyCase& c : cases) {
        uint16_t values[2] = {};
        const uint32_t timeoutMs = c.result == 2 ? kReplyWaitMs : kExpiryMs;
        EXPECT_EQ(ReadTwoRegisters(c.reply, c.slowly, values, timeoutMs), c.result) << c.name;
        if (c.result == 2) {
            EXPECT_EQ(values[0], 0x1234) << c.name;
            EXPECT_EQ(values[1], 0xBEEF) << c.name;
        }
    }
}

TEST_F(RtuFraming, AnyNoiseByteBeforeAReplyCostsNoAttempt) {
    // A turnaround glitch leaves one byte, any value, in front of the reply. Each request must
    // complete at once with it, not time out and cost the load an attempt.
    const uint16_t words[2] = {0x1234, 0x5678};
    const Bytes writeRequest =
        RtuFrame({0x01, 0x42, 0x21, 0x00, 0x00, 0x10, 0x00, 0x02, 0x12, 0x34, 0x56, 0x78});
    const Bytes writeReply = RtuFrame({0x01, 0x42, 0x21});
    int failures = 0;
    for (int noise = 0; noise < 256 && failures < 3; ++noise) {
        const Bytes glitch{static_cast<uint8_t>(noise)};
        auto written = std::async(std::launch::async, [&] {
            return master->ExtWriteBlock(0, kReplyWaitMs, 1, 1, 0x1000, 2, words);
        });
        EXPECT_EQ(peer.Read(writeRequest.size(), kPeerWaitMs), writeRequest);
        peer.Write(Concat({glitch, writeReply}));
        const int32_t writeResult = written.get();
        EXPECT_EQ(writeResult, 0) << "block write after noise byte " << noise;

        uint16_t values[2] = {};
        const int32_t readResult = ReadTwoRegisters(Concat({glitch, kGoodReply}), false, values);
        EXPECT_EQ(readResult, 2) << "read after noise byte " << noise;
        EXPECT_EQ(values[1], 0xBEEF) << "read after noise byte " << noise;
        failures += (writeResult != 0) + (readResult != 2);
    }
}

TEST_F(RtuFraming, BurstOfGarbageBeforeAReplyIsDiscardedAsItComes) {
    // 64 KiB of noise made of candidate frames of our own unit announcing 258 bytes: a
    // receiver that waited on each, or searched its buffer from the front again for every
    // byte, would hold the reply back far longer than the time-out.
    Bytes burst;
    while (burst.size() < 65536)
        burst.insert(burst.end(), {0x01, 0x03, 0xFF, 0x00, 0x55});
    uint16_t values[2] = {};
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 37, values);
    });
    EXPECT_EQ(peer.Read(kReadTwoRequest.size(), kPeerWaitMs), kReadTwoRequest);
    peer.Write(Concat({burst, kGoodReply}));
    EXPECT_EQ(result.get(), 2);
    EXPECT_EQ(values[0], 0x1234);
    EXPECT_EQ(values[1], 0xBEEF);
}

TEST_F(RtuFraming, ExceptionReplyCompletesWithItsCode) {
    uint16_t values[2] = {};
    EXPECT_EQ(ReadTwoRegisters(RtuFrame({0x01, 0x83, 0x02}), false, values), -65538);
    EXPECT_EQ(master->GetErrorText(), "Illegal Data Address");
}

TEST_F(RtuFraming, SilentPeerTimesOutOnTime) {
    uint16_t values[2] = {};
    const int64_t start = NowMs();
    const int32_t result = master->ReadHoldingRegisters(kExpiryMs, 255, 2, 37, values);
    const int64_t elapsed = NowMs() - start;
    EXPECT_EQ(result, -16711698);
    // Noticed on the next 100 ms tick; the upper bound only tells an expiry from a hang.
    EXPECT_GE(elapsed, kExpiryMs);
    EXPECT_LT(elapsed, kExpiryMs + 5000);
    EXPECT_EQ(master->GetErrorText(), "Modbus Timed Out");
}

TEST_F(RtuFraming, LateFragmentOfAnEarlierReplyDoesNotBlockTheNextOne) {
    uint16_t values[2] = {};
    EXPECT_EQ(StatusOf(master->ReadHoldingRegisters(kExpiryMs, 1, 2, 37, values)), 18);
    peer.Read(kReadTwoRequest.size(), kPeerWaitMs);
    // The start of a long reply comes in after the request gave up; its announced length is
    // far more than the next reply, so it would swallow that reply if it were kept.
    const Bytes lateStart = {0x01, 0x03, 0x34, 0x00, 0x01, 0x00};
    peer.Write(lateStart);
    ASSERT_TRUE(peer.WaitUntilTaken(kPeerWaitMs));
    EXPECT_EQ(ReadTwoRegisters(kGoodReply, false, values), 2);
    EXPECT_EQ(values[1], 0xBEEF);
}

TEST_F(RtuFraming, VanishedDeviceFailsRequestsAndClosesTheLink) {
    uint16_t values[2] = {};
    auto result = std::async(std::launch::async, [&] {
        return master->ReadHoldingRegisters(kExpiryMs, 1, 2, 37, values);
    });
    peer.Read(kReadTwoRequest.size(), kPeerWaitMs);
    peer.HangUp();
    EXPECT_LT(result.get(), 0);
    const int64_t deadline = NowMs() + kPeerWaitMs;
    while (master->IsOpen() && NowMs() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_FALSE(master->IsOpen());
    // Later requests fail at once: the port is closed.
    const int64_t start = NowMs();
    EXPECT_EQ(StatusOf(master->ReadHoldingRegisters(kReplyWaitMs, 1, 2, 37, values)), 38);
    EXPECT_LT(NowMs() - start, static_cast<int64_t>(kReplyWaitMs) / 3);
}

TEST(RtuOpen, ReportsWhyThePortDidNotOpen) {
    // A store of its own lists COM250 at a device that is not there; a plain file opens but is
    // no serial line.
    TempStore store;
    const std::string absent = store.folder() + "/absent-tty";
    const std::string plainFile = store.folder() + "/plain-file";
    store.Write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n\"" + absent +
                "\"=\"COM250\"\n");
    std::ofstream(plainFile) << "not a terminal";
    const struct {
        std::string port;
        const char* text;  // empty: the system's own text, whatever it says
    } cases[] = {
        {"COM250:", "Could not open serial port"},
        {absent, "Could not open serial port"},
        {plainFile, ""},
    };
    for (const auto& c : cases) {
        ConnectionPtr<ModBusRTU> master(new ModBusRTU(c.port.c_str(), 9600, 0, 8, 0));
        EXPECT_FALSE(master->IsOpen()) << c.port;
        if (*c.text != '\0') {
            EXPECT_EQ(master->GetErrorText(), c.text) << c.port;
        } else {
            EXPECT_FALSE(master->GetErrorText().empty()) << c.port;
        }
        uint16_t value = 0;
        EXPECT_EQ(master->ReadHoldingRegisters(100, 1, 1, 0, &value), -(1 << 16 | 38)) << c.port;
    }
}

}  // namespace
