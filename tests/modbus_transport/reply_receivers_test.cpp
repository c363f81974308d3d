// The framings' receivers fed directly, without a line: what reaches the core, and how much
// the receivers keep while noise streams in.
#include "modbus/reply_receivers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tests/modbus_transport/connection_helpers.h"

namespace {

using Bytes = std::vector<uint8_t>;

class RecordingSink final : public ReplySink {
  public:
    bool OnReply(int32_t, int32_t length, const uint8_t* pdu) override {
        replies.emplace_back(pdu, pdu + length);
        return false;
    }
    std::vector<Bytes> replies;
};

const Bytes kReadReply = RegisterReply(1, 3, {0x1234, 0xBEEF});
const Bytes kBlockWriteReply = {0x01, 0x42, 0x21};

// Noise bytes of a line that a reply of ours is not yet seen in.
Bytes Noise(size_t length) {
    Bytes bytes(length);
    uint32_t state = 12345;
    for (uint8_t& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    return bytes;
}

TEST(RtuReceiver, NoiseThatLooksLikeTheStartOfAFrameDoesNotHoldTheReplyBack) {
    const struct {
        const char* name;
        Bytes noise;
    } cases[] = {
        {"00", {0x00}},
        {"FF", {0xFF}},
        {"00 03 FF: a read announcing 258 bytes", {0x00, 0x03, 0xFF}},
        {"our unit announcing 258 bytes", {0x01, 0x03, 0xFF}},
        {"our unit announcing a block read of 514 bytes", {0x01, 0x42, 0x31, 0xFF}},
        {"our unit, too short to judge", {0x01}},
    };
    for (const auto& c : cases) {
        for (const Bytes& reply : {kReadReply, kBlockWriteReply}) {
            const Bytes line = Concat({c.noise, RtuFrame(reply)});
            for (const bool byteByByte : {false, true}) {
                auto receiver = std::make_unique<RtuReceiver>();
                receiver->Await(1);
                RecordingSink sink;
                if (byteByByte) {
                    for (uint8_t byte : line)
                        receiver->Receive(1, &byte, sink);
                } else {
                    receiver->Receive(static_cast<int32_t>(line.size()), line.data(), sink);
                }
                ASSERT_EQ(sink.replies.size(), 1u)
                    << c.name << (byteByByte ? ", byte by byte" : "");
                EXPECT_EQ(sink.replies[0], reply) << c.name;
            }
        }
    }
}

TEST(RtuReceiver, BurstOfNoiseIsDiscardedAsItArrives) {
    auto receiver = std::make_unique<RtuReceiver>();
    receiver->Await(1);
    RecordingSink sink;
    // Random noise, then noise made only of long candidate frames of our own unit.
    Bytes candidates;
    while (candidates.size() < 32768)
        candidates.insert(candidates.end(), {0x01, 0x03, 0xFF, 0x00, 0x55});
    const Bytes line = Concat({Noise(32768), candidates, RtuFrame(kReadReply)});
    constexpr size_t kChunk = 1024;
    int32_t mostKept = 0;
    for (size_t at = 0; at < line.size(); at += kChunk) {
        const size_t length = std::min(kChunk, line.size() - at);
        ASSERT_TRUE(receiver->Receive(static_cast<int32_t>(length), line.data() + at, sink));
        mostKept = std::max(mostKept, receiver->Buffered());
    }
    ASSERT_EQ(sink.replies.size(), 1u);
    EXPECT_EQ(sink.replies[0], kReadReply);
    // Never more than one candidate frame's worth: noise does not pile up to be searched again.
    EXPECT_LE(mostKept, RtuReceiver::kMaxFrame);
    EXPECT_EQ(receiver->Buffered(), 0);
}

TEST(RtuReceiver, OnlyTheAwaitedUnitIsAnswered) {
    const Bytes fromUnit2 = RtuFrame(RegisterReply(2, 3, {0x0BAD, 0x0BAD}));
    const Bytes line = Concat({fromUnit2, RtuFrame(kReadReply)});
    for (const int awaited : {1, 0}) {
        auto receiver = std::make_unique<RtuReceiver>();
        receiver->Await(static_cast<uint8_t>(awaited));
        RecordingSink sink;
        receiver->Receive(static_cast<int32_t>(line.size()), line.data(), sink);
        if (awaited == 1) {
            // A foreign unit's frame is passed over, its CRC notwithstanding.
            ASSERT_EQ(sink.replies.size(), 1u);
            EXPECT_EQ(sink.replies[0], kReadReply);
        } else {
            // A broadcast may be answered under any unit.
            ASSERT_EQ(sink.replies.size(), 2u);
            EXPECT_EQ(sink.replies[1], kReadReply);
        }
    }
}

TEST(AsciiReceiver, AnEndlessFrameIsDroppedAndTheNextReplyTaken) {
    auto receiver = std::make_unique<AsciiReceiver>();
    RecordingSink sink;
    const Bytes line = Concat({Text(":"), Bytes(65536, 'A'), AsciiFrame(kReadReply)});
    constexpr size_t kChunk = 1024;
    for (size_t at = 0; at < line.size(); at += kChunk) {
        const size_t length = std::min(kChunk, line.size() - at);
        ASSERT_TRUE(receiver->Receive(static_cast<int32_t>(length), line.data() + at, sink));
        EXPECT_LT(receiver->Buffered(),
                  AsciiReceiver::kMaxFrameDigits + static_cast<int32_t>(kChunk));
    }
    ASSERT_EQ(sink.replies.size(), 1u);
    EXPECT_EQ(sink.replies[0], kReadReply);
}

TEST(AsciiReceiver, CharactersOutsideTheFrameAlphabetAreIgnored) {
    auto receiver = std::make_unique<AsciiReceiver>();
    RecordingSink sink;
    Bytes line = AsciiFrame(kReadReply);
    // A NUL, a blank, a byte above 0x7F and a letter, spread over the frame.
    line.insert(line.begin() + 3, 0x00);
    line.insert(line.begin() + 6, ' ');
    line.insert(line.begin() + 9, 0xC3);
    line.insert(line.end() - 2, 'x');
    receiver->Receive(static_cast<int32_t>(line.size()), line.data(), sink);
    ASSERT_EQ(sink.replies.size(), 1u);
    EXPECT_EQ(sink.replies[0], kReadReply);
}

}  // namespace
