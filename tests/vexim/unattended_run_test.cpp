// Unattended downloads from the command line to the simulated module: the exit code tells a
// script whether the program reached the module.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "downloader/connection.h"
#include "downloader/history.h"
#include "downloader/settings.h"
#include "downloader/system_profile.h"
#include "vexim_fixture.h"

namespace {

using vexim_test::MessageBoxLine;

class VeximUnattendedRunTest : public vexim_test::VeximTest {};

TEST_F(VeximUnattendedRunTest, SuccessfulDownloadExitsZeroAndIsRemembered) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const std::string file = WriteSampleObject("sample.vxo");
    const std::string line = "1 " + file + " 127.0.0.1:" + std::to_string(port) + " 1 -A";

    ASSERT_EQ(RunVexim(line), 0) << Transcript();

    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    EXPECT_EQ(TranscriptLines("end 104"), std::vector<std::string>{"end 104 0"});
    const auto status = TranscriptLines("status");
    ASSERT_FALSE(status.empty());
    EXPECT_NE(status.back().find(" words loaded successfully."), std::string::npos);
    EXPECT_EQ(progressDialogWindow, nullptr);
    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, file, 1));

    const std::string log = LogText();
    EXPECT_NE(log.find("Vexim Log file, starting load of file " + file + "\n"), std::string::npos);
    EXPECT_EQ(log.substr(log.size() - 17), "Closing log file\n");

    // The download reached the history in the store.
    historyCount = 0;
    RestoreFiles(nullptr);
    ASSERT_EQ(historyCount, 1);
    EXPECT_EQ(downloadHistory[0].fileName, file);
    EXPECT_EQ(downloadHistory[0].connectMode, kConnectTcp);
    EXPECT_EQ(downloadHistory[0].host, "127.0.0.1");
}

TEST_F(VeximUnattendedRunTest, CancelledDownloadExitsTwoWithoutAnErrorBox) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    // Channel 1 holds a program before the cancelled download starts.
    const std::string held = WriteSampleObject("held.vxo");
    ASSERT_EQ(RunVexim("1 " + held + " 127.0.0.1:" + std::to_string(port) + " 1 -A"), 0)
        << Transcript();
    const size_t requestsBefore = sim_->requests().size();
    const std::string file = WriteSampleObject("sample.vxo", 600);
    const std::string line = "1 " + file + " 127.0.0.1:" + std::to_string(port) + " 1";

    EXPECT_EQ(RunVexim(line, "pump command 2\n"), 2) << Transcript();

    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    const auto status = TranscriptLines("status");
    EXPECT_NE(std::find(status.begin(), status.end(), "status \"Cancelling...\""), status.end());
    EXPECT_EQ(TranscriptLines("end 104"), std::vector<std::string>{"end 104 0"});
    EXPECT_EQ(progressDialogWindow, nullptr);
    EXPECT_EQ(CurrentConnection, nullptr);
    // The cancel came before the erase: the channel still holds its program.
    const auto requests = sim_->requests();
    for (size_t i = requestsBefore; i < requests.size(); ++i) {
        const long sub = requests[i].field("sub");
        EXPECT_FALSE(requests[i].functionCode == 0x42 && (sub == 0x00 || sub == 0x40))
            << "request " << requests[i].number << " erased channel " << requests[i].field("ch");
    }
    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, held, 1));
}

TEST_F(VeximUnattendedRunTest, FailedConnectionExitsTwo) {
    const std::string file = WriteSampleObject("sample.vxo");
    const std::string address = "127.0.0.1:" + std::to_string(RefusingPort());
    EXPECT_EQ(RunVexim("1 " + file + " " + address + " 1 -T5"), 2);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{
                  MessageBoxLine("VEXIM Error", "Can't open TCP connection to " + address)});
    EXPECT_EQ(TranscriptLines("end 102"), std::vector<std::string>{"end 102 2"});
}

// A channel the module does not have is refused by the command line, before anything connects
// and before the dialog (whose buttons show only the two application channels) could turn it
// into channel 2.
TEST_F(VeximUnattendedRunTest, ChannelOutsideTheButtonsIsRefusedNotMovedToTwo) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const std::string file = WriteSampleObject("sample.vxo");
    const struct {
        std::string channel;
        int value;
    } cases[] = {{"3", 3}, {"F3", 12}, {"9", 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE("channel " + c.channel);
        const std::string line =
            c.channel + " " + file + " 127.0.0.1:" + std::to_string(port) + " 1";
        EXPECT_EQ(RunVexim(line), 1) << Transcript();
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error",
                      "Invalid channel " + std::to_string(c.value) + ". Must be 1..2. or F1..F2")});
        EXPECT_TRUE(TranscriptLines("open 102").empty());
        EXPECT_TRUE(sim_->requests().empty());
    }
}

TEST_F(VeximUnattendedRunTest, ProfileNamedWithUDownloadsWithItsSettings) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    SystemProfile profile;
    profile.fileName = WriteSampleObject("from-profile.vxo");
    profile.connectMode = kConnectTcp;
    profile.host = "127.0.0.1";
    profile.tcpPort = port;
    profile.drop = 1;
    profile.channel = 1;
    profile.loadProgram = 1;
    profile.eraseFlash = 1;
    profile.autoStart = 1;  // the program running in channel 1 is stopped before the erase
    profile.retries = 3;
    profile.timeoutMs = 2000;
    const std::string profilePath = "module.vxf";
    ASSERT_TRUE(WriteProfileFile(profilePath, profile));

    ASSERT_EQ(RunVexim("-U" + profilePath + " ignored-after-U"), 0) << Transcript();

    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, profile.fileName, 1));
    EXPECT_EQ(profileHistory[0], profilePath);
}

// The program itself: its arguments, one holding a blank, become the command line again.
TEST_F(VeximUnattendedRunTest, ProgramExitCodeFromItsArguments) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    std::filesystem::create_directory(TempPath("with blank"));
    const std::string file = WriteSampleObject("with blank/sample.vxo");
    const std::string command = std::string("'") + VEXIM_EXECUTABLE + "' 1 '" + file +
                                "' 127.0.0.1:" + std::to_string(port) + " 1 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, file, 1));

    const int refused =
        std::system((std::string("'") + VEXIM_EXECUTABLE + "' -x 2>/dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(refused));
    EXPECT_EQ(WEXITSTATUS(refused), 1);
}

}  // namespace
