// An unattended download from the command line never erases a program that has not confirmed its
// halt, nor takes a file without a user-code header for code unless its line says so: such a
// run ends with 2 and says why, and the module keeps what it held.

#include <gtest/gtest.h>

#include <fstream>

#include "downloader/settings.h"
#include "vexim_fixture.h"

namespace {

using vexim_test::MessageBoxLine;

constexpr int kRunRegister = 32;

// Requests that erase or write channel 1's space.
bool ChangesChannelOne(const krtsim::LoggedRequest& request) {
    const long sub = request.field("sub");
    return (request.functionCode == 0x42 &&
            (sub == 0 || sub == 0x20 || sub == 0x40 || sub == 0x60)) ||
           (request.functionCode == 21 && request.field("file") == 256);
}

class VeximUnattendedSafetyTest : public vexim_test::VeximTest {
  protected:
    std::string Address(uint16_t port) const { return "127.0.0.1:" + std::to_string(port); }

    // No request after the first `count` erased or wrote channel 1.
    void ExpectChannelOneUnchangedSince(size_t count) {
        const auto requests = sim_->requests();
        for (size_t i = count; i < requests.size(); ++i) {
            EXPECT_FALSE(ChangesChannelOne(requests[i])) << "request " << requests[i].number;
        }
    }
};

// With Auto Start off nobody stops the program: the run refuses to erase under it, for a download
// and for an erase alone.
TEST_F(VeximUnattendedSafetyTest, RunningProgramWithoutAutoStartIsNotErased) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const std::string held = WriteSampleObject("held.vxo");
    ASSERT_EQ(RunVexim("1 " + held + " " + Address(port) + " 1 -A"), 0) << Transcript();
    const std::string file = WriteSampleObject("sample.vxo", 60);
    for (const std::string& erase : {std::string(), std::string(" -E")}) {
        SCOPED_TRACE("line ends with '" + erase + "'");
        SaveStartSettings([] { loadOptions.autoStart = 0; });
        const size_t requestsBefore = sim_->requests().size();

        EXPECT_EQ(RunVexim("1 " + file + " " + Address(port) + " 1" + erase), 2) << Transcript();

        EXPECT_EQ(
            TranscriptLines("msgbox"),
            std::vector<std::string>{MessageBoxLine(
                "VEXIM Error",
                "The program on channel 1 is running, and with Auto Start off this download "
                "does not stop it.\n\nNothing was erased or written in application space 1.")});
        ExpectChannelOneUnchangedSince(requestsBefore);
        krtsim::StateDump dump = sim_->dump();
        EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, held, 1));
        EXPECT_EQ(dump.holding(kRunRegister) & 0xFF, 0xFF) << "the program runs";
        const std::string log = LogText();
        EXPECT_NE(log.find("Download failed: The program on channel 1 is running"),
                  std::string::npos)
            << log;
    }
}

// The program is stopped but never confirms its halt: nothing is erased, it is started again.
TEST_F(VeximUnattendedSafetyTest, HaltNeverConfirmedEndsWithTwo) {
    const uint16_t port = StartModule({"--status-stuck", "1"});
    ASSERT_NE(port, 0);
    const std::string file = WriteSampleObject("sample.vxo");
    for (const std::string& erase : {std::string(), std::string(" -E")}) {
        SCOPED_TRACE("line ends with '" + erase + "'");
        const size_t requestsBefore = sim_->requests().size();

        EXPECT_EQ(RunVexim("1 " + file + " " + Address(port) + " 1 -A" + erase), 2) << Transcript();

        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error",
                      "Can't halt channel 1: its program is still running.\n\nNothing was erased "
                      "or written in application space 1; its program was started again.")});
        ExpectChannelOneUnchangedSince(requestsBefore);
        EXPECT_EQ(sim_->dump().holding(kRunRegister) & 0xFF, 0xFF) << "the program runs";
    }
}

// A text file named as the object: refused without -O, before anything is sent; loaded as it is
// with it.
TEST_F(VeximUnattendedSafetyTest, FileWithoutHeaderNeedsTheRawSwitch) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const std::string text = "plant.SVC";
    std::ofstream(TempPath(text), std::ios::binary) << "#CMD#\r\n#0x0710#\r\n#0x0002#\r\n";

    EXPECT_EQ(RunVexim("1 " + text + " " + Address(port) + " 1 -A"), 2) << Transcript();

    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  text + " holds no user-code header.\nAn unattended download loads a file "
                         "without one, as a raw object, only with the switch -O.\n"
                         "Nothing was sent to the module.")});
    EXPECT_TRUE(sim_->requests().empty());

    EXPECT_EQ(RunVexim("1 " + text + " " + Address(port) + " 1 -A -O"), 0) << Transcript();
    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    EXPECT_EQ(sim_->dump().channelFlash(1)[0], 14);  // 27 bytes: 14 words
}

// The log keeps the outcome of a run that never reached the module too.
TEST_F(VeximUnattendedSafetyTest, LinkThatDoesNotOpenIsLogged) {
    const std::string file = WriteSampleObject("sample.vxo");
    EXPECT_EQ(RunVexim("1 " + file + " " + Address(RefusingPort()) + " 1 -T5"), 2);
    const std::string log = LogText();
    EXPECT_NE(
        log.find("Download of " + file + " failed: the link to the module could not be opened.\n"),
        std::string::npos)
        << log;
}

}  // namespace
