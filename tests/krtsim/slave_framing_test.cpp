#include "slave_framing.h"

#include <gtest/gtest.h>

#include <string>

namespace krtsim {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kReadCommBlock{0x01, 0x03, 0x00, 0x25, 0x00, 0x1A};

Bytes text(const std::string& characters) {
    return Bytes(characters.begin(), characters.end());
}

TEST(SlaveFraming, FramesAReplyInEachFraming) {
    EXPECT_EQ(rtuFrame(kReadCommBlock), (Bytes{0x01, 0x03, 0x00, 0x25, 0x00, 0x1A, 0xD5, 0xCA}));
    EXPECT_EQ(asciiFrame(kReadCommBlock), text(":01030025001ABD\r\n"));
    EXPECT_EQ(tcpFrame(0x1234, kReadCommBlock),
              (Bytes{0x12, 0x34, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x25, 0x00, 0x1A}));
}

TEST(SlaveFraming, RtuRequestLengthFollowsEachLayout) {
    struct Case {
        Bytes start;
        int length;
    };
    const Case cases[] = {
        {{1, 3}, 6},
        {{1, 6}, 6},
        {{1, 16, 0, 37, 0, 26}, 0},  // byte count not yet in
        {{1, 16, 0, 37, 0, 26, 52}, 59},
        {{1, 20, 7}, 10},
        {{1, 21, 9}, 12},
        {{1, 0x42, 0x01}, 3},
        {{1, 0x42, 0x4A}, 3},
        {{1, 0x42, 0x11}, 3},
        {{1, 0x42, 0x71}, 3},
        {{1, 0x42, 0x31}, 8},
        {{1, 0x42, 0x21, 0, 0, 0, 4}, 0},
        {{1, 0x42, 0x21, 0, 0, 0, 4, 99}, 206},
        {{1, 0x42, 0x61, 0, 0, 0, 4, 2}, 12},
        {{1, 0x42, 0x51}, -1},
        {{1, 0x2B}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(rtuRequestLength(c.start.data(), c.start.size()), c.length)
            << "function " << int{c.start[1]};
}

TEST(SlaveFraming, RtuCutterSkipsNoiseAndCutsSplitFrames) {
    RtuRequestCutter cutter;
    Bytes frame = rtuFrame(kReadCommBlock);
    Bytes stream{0x00, 0xFF};  // line noise before the frame
    stream.insert(stream.end(), frame.begin(), frame.end());
    stream.insert(stream.end(), frame.begin(), frame.end());
    cutter.feed(stream.data(), 5);
    EXPECT_FALSE(cutter.next());
    cutter.feed(stream.data() + 5, stream.size() - 5);
    EXPECT_EQ(cutter.next(), kReadCommBlock);
    EXPECT_EQ(cutter.next(), kReadCommBlock);
    EXPECT_FALSE(cutter.next());
    EXPECT_FALSE(cutter.pending());
}

TEST(SlaveFraming, RtuCutterDropsABadCrcAndCutsUnknownCodesAtSilence) {
    RtuRequestCutter cutter;
    Bytes bad = rtuFrame(kReadCommBlock);
    bad.back() ^= 1;
    cutter.feed(bad.data(), bad.size());
    EXPECT_FALSE(cutter.next());
    EXPECT_FALSE(cutter.silence());

    Bytes unknown = rtuFrame({0x01, 0x2B, 0x0E, 0x01, 0x00});
    cutter.feed(unknown.data(), unknown.size());
    EXPECT_FALSE(cutter.next());
    EXPECT_EQ(cutter.silence(), (Bytes{0x01, 0x2B, 0x0E, 0x01, 0x00}));
}

TEST(SlaveFraming, AsciiCutterChecksTheLrcAndTakesEitherCase) {
    AsciiRequestCutter cutter;
    Bytes chunk = text("noise:01030025001ABE\r\n:01030025001abd\r");
    cutter.feed(chunk.data(), chunk.size());
    EXPECT_FALSE(cutter.next());  // the first has a bad LRC, the second no LF yet
    Bytes rest = text("\n");
    cutter.feed(rest.data(), rest.size());
    EXPECT_EQ(cutter.next(), kReadCommBlock);
    EXPECT_FALSE(cutter.next());
}

TEST(SlaveFraming, TcpCutterSkipsOtherProtocolsAndWaitsForWholeFrames) {
    TcpRequestCutter cutter;
    Bytes other = tcpFrame(1, kReadCommBlock, 7);
    Bytes mine = tcpFrame(2, kReadCommBlock);
    Bytes stream = other;
    stream.insert(stream.end(), mine.begin(), mine.end());
    cutter.feed(stream.data(), stream.size() - 1);
    EXPECT_FALSE(cutter.next());
    cutter.feed(&stream.back(), 1);
    auto request = cutter.next();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->transaction, 2);
    EXPECT_EQ(request->pdu, kReadCommBlock);
}

}  // namespace
}  // namespace krtsim
