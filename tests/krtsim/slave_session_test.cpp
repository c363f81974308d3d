#include "slave_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "slave_framing.h"

namespace krtsim {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kWriteRun{1, 6, 0, 32, 0, 0};  // stops both channels

RunConfig configWith(const std::string& fault) {
    RunConfig config;
    std::string error;
    if (!fault.empty())
        config.faults.push_back(*parseFaultRule(fault, error));
    return config;
}

TEST(SlaveSession, InjectsEachFaultIntoTheReply) {
    struct Case {
        const char* fault;
        ServerMode framing;
        std::optional<Bytes> bytes;  // nothing: no reply
        bool carriedOut;
    };
    auto rtu = [](Bytes pdu) { return rtuFrame(pdu); };
    Bytes badCrc = rtuFrame(kWriteRun);
    badCrc.back() ^= 0x5A;
    Bytes badLrc = asciiFrame(kWriteRun);  // ":0106002000 00D9" with a wrong LRC digit
    badLrc[badLrc.size() - 3] = badLrc[badLrc.size() - 3] == '0' ? '1' : '0';
    const Case cases[] = {
        {"", ServerMode::Rtu, rtu(kWriteRun), true},
        {"req=1,do=drop", ServerMode::Rtu, std::nullopt, false},
        {"req=1,do=noreply", ServerMode::Rtu, std::nullopt, true},
        {"fc=6,do=exception,code=6", ServerMode::Rtu, rtu({1, 0x86, 6}), false},
        {"fc=6,do=wrongfc", ServerMode::Rtu, rtu({1, 3, 0}), true},
        {"fc=6,do=badecho", ServerMode::Rtu, rtu({1, 6, 0, 32, 0, 1}), true},
        {"fc=6,do=short", ServerMode::Rtu, rtu({1, 6, 0, 32, 0}), true},
        {"fc=6,do=badcheck", ServerMode::Rtu, badCrc, true},
        {"fc=6,do=badcheck", ServerMode::Ascii, badLrc, true},
        {"fc=6,do=badcheck", ServerMode::Tcp, tcpFrame(9, kWriteRun, 1), true},
        {"fc=3,do=drop", ServerMode::Tcp, tcpFrame(9, kWriteRun), true},
        {"fc=6,do=fake", ServerMode::Rtu, rtu(kWriteRun), false},
        {"req=2,do=drop", ServerMode::Tcp, tcpFrame(9, kWriteRun), true},
    };
    for (const auto& c : cases) {
        KrtModule module{ModuleConfig{}};
        SlaveSession session(module, configWith(c.fault));
        auto reply = session.onRequest(kWriteRun, c.framing, 9);
        ASSERT_EQ(reply.has_value(), c.bytes.has_value()) << c.fault;
        if (reply) {
            EXPECT_EQ(reply->bytes, *c.bytes) << c.fault;
        }
        EXPECT_EQ(module.statusWord(1) == 0x8000 && module.holdingSnapshot().count(32) == 0,
                  c.carriedOut)
            << c.fault;
    }
}

TEST(SlaveSession, DelaysAndSplitsOnlyTheRepliesChosen) {
    KrtModule module{ModuleConfig{}};
    RunConfig config = configWith("fc=66,sub=0x10,do=late,ms=250,times=2");
    std::string error;
    config.faults.push_back(*parseFaultRule("req=4,do=split", error));
    SlaveSession session(module, config);
    const Bytes spaceSize{1, 0x42, 0x11}, bases{1, 0x42, 0x71};
    EXPECT_EQ(session.onRequest(bases, ServerMode::Rtu)->delayMs, 0);
    EXPECT_EQ(session.onRequest(spaceSize, ServerMode::Rtu)->delayMs, 250);
    EXPECT_EQ(session.onRequest(spaceSize, ServerMode::Rtu)->delayMs, 250);
    auto fourth = session.onRequest(spaceSize, ServerMode::Rtu);
    EXPECT_EQ(fourth->delayMs, 0) << "times=2 is used up";
    EXPECT_TRUE(fourth->oneByteAtATime);
    EXPECT_FALSE(session.onRequest(spaceSize, ServerMode::Rtu)->oneByteAtATime);
}

TEST(SlaveSession, LogsEveryRequestAndIgnoresOtherUnits) {
    std::string path = (std::filesystem::temp_directory_path() / "krtsim-session-XXXXXX").string();
    int fd = mkstemp(path.data());
    ASSERT_GE(fd, 0);
    close(fd);
    KrtModule module{ModuleConfig{}};
    RunConfig config = configWith("req=2,do=noreply");
    config.logPath = path;
    config.unit = 1;
    {
        SlaveSession session(module, config);
        EXPECT_TRUE(session.onRequest({1, 3, 0x1F, 0xFB, 0, 1}, ServerMode::Rtu));
        EXPECT_FALSE(session.onRequest(kWriteRun, ServerMode::Rtu));
        EXPECT_FALSE(session.onRequest({2, 6, 0, 32, 0, 0}, ServerMode::Rtu));
        EXPECT_TRUE(session.onRequest({1, 3, 0x1F, 0xFB, 0, 0}, ServerMode::Rtu));
        EXPECT_EQ(session.requestCount(), 4);
    }
    std::ifstream log(path);
    std::stringstream text;
    text << log.rdbuf();
    std::remove(path.c_str());
    EXPECT_EQ(text.str(),
              "1 fc=3 unit=1 start=8187 count=1 result=ok\n"
              "2 fc=6 unit=1 addr=32 value=0 result=ok fault=noreply\n"
              "3 fc=6 unit=2 addr=32 value=0 result=ignored\n"
              "4 fc=3 unit=1 start=8187 count=0 result=exception:3\n");
}

TEST(FaultPlan, RejectsIncompleteRules) {
    std::string error;
    for (const char* text :
         {"do=noreply", "req=1", "req=1,do=explode", "req=x,do=drop", "fc=3,do=late,wait=5"})
        EXPECT_FALSE(parseFaultRule(text, error)) << text;
    auto rule = parseFaultRule("fc=0x42,sub=0x25,do=exception,code=4", error);
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->subCommand, 0x20);
    EXPECT_EQ(rule->times, 0) << "a function-code rule lasts";
    EXPECT_EQ(parseFaultRule("req=3,do=late", error)->times, 1) << "a request rule fires once";
}

// A module that falls silent: every request from the one named on gets the fault, for good.
TEST(FaultPlan, FromARequestOnEveryRequestMatches) {
    std::string error;
    auto rule = parseFaultRule("from=3,do=drop", error);
    ASSERT_TRUE(rule) << error;
    EXPECT_EQ(rule->times, 0);
    std::vector<FaultRule> rules{*rule};
    EXPECT_FALSE(takeFault(rules, 2, 3, -1));
    for (const int request : {3, 4, 100}) {
        EXPECT_TRUE(takeFault(rules, request, 6, -1)) << request;
    }
    EXPECT_FALSE(parseFaultRule("from=3", error));
}

}  // namespace
}  // namespace krtsim
