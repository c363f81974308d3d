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
    // The refusal names the channel as it was typed.
    for (const std::string channel : {"3", "F3", "9"}) {
        SCOPED_TRACE("channel " + channel);
        const std::string line = channel + " " + file + " 127.0.0.1:" + std::to_string(port) + " 1";
        EXPECT_EQ(RunVexim(line), 1) << Transcript();
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error", "Invalid channel " + channel + ". Must be 1..2. or F1..F2")});
        EXPECT_TRUE(TranscriptLines("open 102").empty());
        EXPECT_TRUE(sim_->requests().empty());
    }
}

// A profile for `file` on channel 1 of the module at the loopback's TCP `port`, drop 1, with the
// options of a download that loads and starts the program.
SystemProfile ModuleProfile(const std::string& file, uint16_t port) {
    SystemProfile profile;
    profile.fileName = file;
    profile.connectMode = kConnectTcp;
    profile.host = "127.0.0.1";
    profile.tcpPort = port;
    profile.drop = 1;
    profile.channel = 1;
    profile.loadProgram = 1;
    profile.eraseFlash = 1;
    profile.autoStart = 1;  // the program running in channel 1 is stopped before the erase
    profile.runRegister = 33;
    profile.retries = 3;
    profile.timeoutMs = 2000;
    return profile;
}

TEST_F(VeximUnattendedRunTest, ProfileNamedWithUDownloadsWithItsSettings) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const SystemProfile profile = ModuleProfile(WriteSampleObject("from-profile.vxo"), port);
    const std::string profilePath = "module.vxf";
    ASSERT_TRUE(WriteProfileFile(profilePath, profile));

    ASSERT_EQ(RunVexim("-U" + profilePath + " ignored-after-U"), 0) << Transcript();

    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, profile.fileName, 1));
    EXPECT_EQ(profileHistory[0], profilePath);
}

// A profile kept for one module names its file, channel and address. When the line names its
// own, the line wins: its file goes into its channel on its module, and the profile gives only
// what the line leaves out.
TEST_F(VeximUnattendedRunTest, WhatTheLineNamesWinsOverTheProfile) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    // Another module, not reachable here.
    SystemProfile profile = ModuleProfile(WriteSampleObject("from-profile.vxo"), RefusingPort());
    profile.drop = 9;
    profile.channel = 2;
    profile.retries = 2;
    profile.timeoutMs = 6000;
    ASSERT_TRUE(WriteProfileFile("other-module.vxf", profile));
    const std::string module = "127.0.0.1:" + std::to_string(port);
    const std::string before = WriteSampleObject("named-before.vxo", 40);
    const std::string after = WriteSampleObject("named-after.vxo", 44);
    for (const std::string& line : {"1 " + before + " " + module + " 1 -Pother-module.vxf",
                                    "-Pother-module.vxf 1 " + after + " " + module + " 1"}) {
        SCOPED_TRACE(line);
        ASSERT_EQ(RunVexim(line), 0) << Transcript();
        EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
        EXPECT_EQ(loadOptions.channel, 1);
        EXPECT_EQ(linkSettings.tcpPort, port);
        EXPECT_EQ(linkSettings.drop, 1);
        // What the line left out comes from the profile.
        EXPECT_EQ(linkSettings.timeoutMs, 6000);
        EXPECT_EQ(linkSettings.retries, 2);
    }
    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, after, 1));
    EXPECT_FALSE(vexim_test::ModuleHoldsFile(dump, profile.fileName, 2));

    // Named alone, the profile gives everything: the dialog opens on it, and its download goes
    // to the profile's module.
    EXPECT_EQ(RunVexim("-Pother-module.vxf", "command 1053\n"), 16) << Transcript();
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  "Can't open TCP connection to 127.0.0.1:" + std::to_string(profile.tcpPort))});
    EXPECT_EQ(loadOptions.channel, 2);
    EXPECT_EQ(loadOptions.fileName, profile.fileName);
}

// A USB serial adapter usually gets a port number above 9: COM12: with its mode after the ":"
// downloads over Modbus RTU on that port, as COM1: does.
TEST_F(VeximUnattendedRunTest, SerialPortAboveNineDownloadsWithItsMode) {
    sim_ = std::make_unique<krtsim::KrtSim>();
    ASSERT_TRUE(sim_->start(krtsim::Framing::Rtu)) << sim_->output();
    ListSerialPort(sim_->devicePath(), "COM12");
    const std::string file = WriteSampleObject("sample.vxo");

    ASSERT_EQ(RunVexim("1 " + file + " COM12:19200,E,8,1 1"), 0) << Transcript();

    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    EXPECT_EQ(linkSettings.portName, "COM12:");
    EXPECT_EQ(BaudTable[linkSettings.baudIndex], 19200u);
    EXPECT_EQ(linkSettings.parity, 1);
    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, file, 1));
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
