// Reply lines of the control connection and the passive-mode reply.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fdr/ftp/passive_reply.h"
#include "fdr/ftp/reply_lines.h"

namespace {

std::vector<std::string> CutAll(fdr::ReplyLineCutter& cutter) {
    std::vector<std::string> lines;
    while (auto line = cutter.nextLine())
        lines.push_back(*line);
    return lines;
}

TEST(ReplyLines, LinesAreCutAtLineFeedsWhateverTheReceivesWere) {
    fdr::ReplyLineCutter cutter;
    cutter.add("220 rea");
    EXPECT_TRUE(CutAll(cutter).empty());
    EXPECT_EQ(cutter.pendingText(), "220 rea");
    cutter.add("dy\r\n331 Pass");
    EXPECT_EQ(CutAll(cutter), std::vector<std::string>{"220 ready\r\n"});
    cutter.add("word required\r\n230 OK\r\n");
    EXPECT_EQ(CutAll(cutter),
              (std::vector<std::string>{"331 Password required\r\n", "230 OK\r\n"}));
    cutter.add("221 Bye");
    EXPECT_EQ(cutter.takePending(), "221 Bye");
    EXPECT_EQ(cutter.pendingText(), "");
}

TEST(ReplyLines, CodesAreThreeDigitsFollowedByABlankAHyphenOrTheLineEnd) {
    const struct {
        const char* line;
        int code;
    } cases[] = {
        {"220 ready\r\n", 220}, {"220-welcome\r\n", 220}, {"226\r\n", 226},   {"226", 226},
        {"2201 x\r\n", 0},      {"22 x\r\n", 0},          {"abc def\r\n", 0}, {"\r\n", 0},
        {" 220 x\r\n", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fdr::replyCodeOf(c.line), c.code) << c.line;
}

TEST(ReplyLines, AMultiLineReplyIsOneReply) {
    fdr::ReplyAssembler assembler;
    EXPECT_EQ(assembler.addLine("220-Welcome to the FDR server\r\n"), std::nullopt);
    EXPECT_EQ(assembler.addLine("   of the rack\r\n"), std::nullopt);
    EXPECT_EQ(assembler.addLine("220-still the greeting\r\n"), std::nullopt);
    EXPECT_EQ(assembler.addLine("331 not the end\r\n"), std::nullopt);
    EXPECT_EQ(assembler.addLine("220 ready\r\n"), 220);
    EXPECT_FALSE(assembler.inMultiLineReply());
    EXPECT_EQ(assembler.addLine("331 password\r\n"), 331);
    EXPECT_EQ(assembler.addLine("garbage\r\n"), 0);
}

TEST(PassiveReply, AddressAndPortAreTakenWithRangeChecks) {
    const struct {
        const char* line;
        bool good;
        platform::Ipv4Address address;
        uint16_t port;
    } cases[] = {
        {"227 Entering Passive Mode (127,0,8,3,195,80).\r\n", true, 0x7F000803, 195 * 256 + 80},
        {"227 Entering Passive Mode (10, 1, 2, 3, 0, 21)\r\n", true, 0x0A010203, 21},
        {"227 Entering Passive Mode 192,168,10,1,4,1\r\n", true, 0xC0A80A01, 1025},
        {"227 (1,2,3,4,5)\r\n", false, 0, 0},
        {"227 (1,2,3,4,5,6,7)\r\n", false, 0, 0},
        {"227 (256,2,3,4,5,6)\r\n", false, 0, 0},
        {"227 (1,2,3,4,5,999)\r\n", false, 0, 0},
        {"227 (1,2,3,4,0,0)\r\n", false, 0, 0},
        {"227 (1,2,,4,5,6)\r\n", false, 0, 0},
        {"227 (0001,2,3,4,5,6)\r\n", false, 0, 0},
        {"227 (-1,2,3,4,5,6)\r\n", false, 0, 0},
        {"227 (99999999999999999999,2,3,4,5,6)\r\n", false, 0, 0},
        {"227 Entering Passive Mode\r\n", false, 0, 0},
        {"227", false, 0, 0},
        {"", false, 0, 0},
        {"227 (1,2,3,4,5,6", true, 0x01020304, 1286},
    };
    for (const auto& c : cases) {
        const auto target = fdr::parsePassiveReply(c.line);
        ASSERT_EQ(target.has_value(), c.good) << c.line;
        if (target) {
            EXPECT_EQ(target->address, c.address) << c.line;
            EXPECT_EQ(target->port, c.port) << c.line;
        }
    }
}

}  // namespace
