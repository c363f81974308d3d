// Downloads through the file-record loader (objects without a KRT version of 2 or more, and raw
// objects) against the simulated module.

#include <gtest/gtest.h>

#include "downloader/settings.h"
#include "downloader/user_code_format.h"
#include "loader_fixture.h"
#include "vxo_builder.h"

namespace {

using loader_test::Describe;
using loader_test::MessageBoxLine;

class LegacyLoaderTest : public loader_test::SimulatorTest {
  protected:
    // Requests after the header and register reads, up to the end.
    std::vector<std::string> RequestsFrom(const std::string& first) {
        std::vector<std::string> described;
        bool started = false;
        for (const auto& request : Requests()) {
            started = started || Describe(request) == first;
            if (started && request.functionCode != 4) {  // halt-wait readings left out
                described.push_back(Describe(request));
            }
        }
        return described;
    }
};

TEST_F(LegacyLoaderTest, ChannelOneThroughFileRecords) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Rtu));
    const std::string path = TempPath("legacy.vxo");
    vxo::Builder object;
    object.Text(kCommentBlock, "old module").Code(vxo::CountingWords(150)).Trailing({0xAB});
    object.WriteTo(path);
    LoadOptionsFor(path, 1);

    ASSERT_EQ(RunLoad(), 1) << Transcript();

    // The program is stopped and has halted before its flash is erased.
    const std::vector<std::string> expected = {
        "3 count=1 start=32",  // stop
        "6 addr=32 value=65280",
        "6 addr=41 value=1",              // status register for the halt wait
        "21 file=256 length=1 record=0",  // erase
        "20 file=256 length=1 record=0",  // erased?
        "21 file=256 length=100 record=1",
        "21 file=256 length=52 record=101",  // 51 words and the odd byte's word
        "3 count=1 start=34",
        "6 addr=34 value=255",
        "21 file=256 length=1 record=0",  // word count
        "3 count=1 start=34",
        "3 count=1 start=32",
        "6 addr=32 value=65535",
    };
    EXPECT_EQ(RequestsFrom("3 count=1 start=32"), expected);
    std::vector<uint16_t> stored = {152};
    const std::vector<uint16_t> payload = object.PayloadWords();
    stored.insert(stored.end(), payload.begin(), payload.end());
    stored.push_back(0xFFAB);  // the odd final byte, its missing half left as erased flash
    const std::vector<uint16_t> flash = Dump().channelFlash(1);
    EXPECT_EQ(std::vector<uint16_t>(flash.begin(), flash.begin() + stored.size()), stored);
    EXPECT_EQ(TranscriptLines("status").back(), "status \"152 words loaded successfully.\"");
}

TEST_F(LegacyLoaderTest, RawObjectOnF1StoresItsByteLength) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Ascii));
    const std::string path = TempPath("raw.vxl");
    vxo::Builder object;
    object.Raw().Code(vxo::CountingWords(30)).Trailing({0x5A});
    object.WriteTo(path);
    LoadOptionsFor(path, 10);

    ASSERT_EQ(RunLoad("answer Yes\n"), 1) << Transcript();  // a raw object, the user says

    const std::vector<std::string> expected = {
        "21 file=2560 length=1 record=0",
        "20 file=2560 length=1 record=0",
        "21 file=2560 length=32 record=1",
        "21 file=2560 length=1 record=0",
    };
    EXPECT_EQ(RequestsFrom("21 file=2560 length=1 record=0"), expected);
    const std::vector<uint16_t> flash = Dump().channelFlash(10);
    EXPECT_EQ(flash[0], 63);  // bytes, not words
    EXPECT_EQ(flash[32], 0xFF5A);
}

struct UpperPartCase {
    int32_t payloadBytes;
    int eraseCommands;
};

void PrintTo(const UpperPartCase& c, std::ostream* out) {
    *out << c.payloadBytes << " bytes";
}

class LegacyUpperPartTest : public LegacyLoaderTest,
                            public ::testing::WithParamInterface<UpperPartCase> {};

// Channel 2 above 0x20000 bytes: the upper part is erased by its own command, the capability
// record is asked first, and records from 65536 on go to file 1792 without a request crossing.
TEST_P(LegacyUpperPartTest, LargeObjectOnChannelTwo) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("large.vxo");
    const size_t words = static_cast<size_t>(GetParam().payloadBytes / 2);
    vxo::Builder object;
    object.Code(vxo::CountingWords(words - 1, 1)).Text(kCommentBlock, "big");
    object.WriteTo(path);
    LoadOptionsFor(path, 2);

    ASSERT_EQ(RunLoad(), 1) << Transcript();

    std::vector<std::string> commands;
    std::vector<std::string> upper;
    bool capability = false;
    for (const auto& request : Requests()) {
        const std::string described = Describe(request);
        if (request.functionCode == 6 && request.field("addr") == 8173) {
            commands.push_back(described);
        }
        capability = capability || described == "20 file=1792 length=10 record=0";
        if (request.functionCode == 21 && request.field("record") >= 65400) {
            upper.push_back(described);
        }
        if (request.functionCode == 21 && request.field("file") == 1792) {
            upper.push_back(described);
        }
    }
    const std::vector<std::string> both = {"6 addr=8173 value=45746", "6 addr=8173 value=46003"};
    EXPECT_EQ(commands,
              std::vector<std::string>(both.begin(), both.begin() + GetParam().eraseCommands));
    EXPECT_TRUE(capability);
    ASSERT_GE(upper.size(), 2u);
    EXPECT_EQ(upper[0], "21 file=512 length=100 record=65401");
    EXPECT_EQ(upper[1], "21 file=512 length=35 record=65501");
    const std::vector<uint16_t> flash = Dump().channelFlash(2);
    ASSERT_GE(flash.size(), words + 1);
    const std::vector<uint16_t> payload = object.PayloadWords();
    EXPECT_EQ(std::vector<uint16_t>(flash.begin() + 1, flash.begin() + 1 + words), payload);
    EXPECT_EQ(flash[0], static_cast<uint16_t>(words % 65536));
}

INSTANTIATE_TEST_SUITE_P(Sizes, LegacyUpperPartTest,
                         ::testing::Values(UpperPartCase{0x1FFFE, 1}, UpperPartCase{0x20002, 2}));

// 65536 words would leave 0 in record 0, which the module takes for an erase of the channel.
TEST_F(LegacyLoaderTest, WordCountThatRecordZeroCannotHoldIsRefused) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp));
    const std::string path = TempPath("large.vxo");
    vxo::Builder().Code(vxo::CountingWords(65535, 1)).WriteTo(path);
    LoadOptionsFor(path, 2);

    EXPECT_EQ(RunLoad(), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  "Application length of 65536 words cannot be stored by the module.", "OK")});
    for (const auto& request : Requests()) {
        EXPECT_TRUE(request.functionCode == 3 || request.functionCode == 20) << request.number;
    }
}

// The capability record is read before anything is changed: the refusal leaves channel 2 with
// its program, running.
TEST_F(LegacyLoaderTest, OldModuleRefusesObjectsAbove128KWords) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--old-module"}));
    const std::string held = TempPath("held.vxo");
    vxo::Builder().Code(vxo::CountingWords(40)).WriteTo(held);
    LoadOptionsFor(held, 2);
    ASSERT_EQ(RunLoad(), 1) << Transcript();
    const std::vector<uint16_t> flashBefore = Dump().channelFlash(2);
    ASSERT_NE(flashBefore[0], 0xFFFF);
    const int firstRequest = static_cast<int>(sim_->requests().size()) + 1;

    const std::string path = TempPath("large.vxo");
    vxo::Builder().Code(vxo::CountingWords(0x1FFFE / 2 - 1)).WriteTo(path);
    LoadOptionsFor(path, 2);

    EXPECT_EQ(RunLoad(), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              (std::vector<std::string>{
                  MessageBoxLine("VEXIM Error",
                                 "ERROR!  Connected module does not support application objects "
                                 "longer than 128K words.",
                                 "OK"),
                  MessageBoxLine("VEXIM Error",
                                 "First upgrade firmware in module, then load this application.",
                                 "OK")}));
    const auto requests = Requests(firstRequest);
    ASSERT_FALSE(requests.empty());
    for (const auto& request : requests) {
        // Neither the erase command register nor a channel file's record 0 was written.
        EXPECT_TRUE(request.functionCode == 3 || request.functionCode == 20)
            << "request " << request.number << " changed the module: " << Describe(request);
    }
    krtsim::StateDump dump = Dump();
    EXPECT_EQ(dump.channelFlash(2), flashBefore);
    EXPECT_EQ(dump.holding(32), 0xFFFF);
}

// A program that does not halt ends the load before anything is erased (the question's default
// is No): its channel keeps the program it runs, started again.
TEST_F(LegacyLoaderTest, HaltThatNeverComesEndsTheLoadBeforeTheErase) {
    ASSERT_TRUE(StartModule(krtsim::Framing::Tcp, {"--status-stuck", "1"}));
    const std::string path = TempPath("legacy.vxo");
    vxo::Builder().Code(vxo::CountingWords(10)).WriteTo(path);
    LoadOptionsFor(path, 1);

    EXPECT_EQ(RunLoad(), 0);
    EXPECT_EQ(TranscriptLines("msgbox"),
              (std::vector<std::string>{
                  MessageBoxLine("File loader",
                                 "Can't halt channel 1: its program is still running.\n\r\n\r"
                                 "Erase application space 1 under the running program?",
                                 "No"),
                  MessageBoxLine("VEXIM Error",
                                 "Nothing was erased or written in application space 1; its "
                                 "program was started again.",
                                 "OK")}));
    EXPECT_EQ(TranscriptLines("status").back(), "status \"Starting program on channel 1\"");
    EXPECT_EQ(Dump().holding(32), 0xFFFF);
    size_t readings = 0;
    for (const auto& request : Requests()) {
        readings += request.functionCode == 4;
        EXPECT_NE(request.functionCode, 21) << "written after the halt failed";
    }
    EXPECT_EQ(readings, 20u);
}

}  // namespace
