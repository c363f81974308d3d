// Values that reach the module through the main dialog: the number dialogs refuse registers that
// do not exist, profiles and history records are brought into range, every command that talks
// to a module checks its drop, and the profile printout asks the module through the profile's
// own link.

#include <gtest/gtest.h>

#include <climits>
#include <fstream>

#include "downloader/dialogs/vexim_resource.h"
#include "downloader/history.h"
#include "downloader/settings.h"
#include "downloader/system_profile.h"
#include "vexim_fixture.h"

namespace ui = platform::ui;

namespace {

using vexim_test::MessageBoxLine;

const std::string kDropRange = "The Modbus drop must be a whole number from 0 to 255.";

class VeximMainDialogValuesTest : public vexim_test::VeximTest {
  protected:
    void Run(const std::string& script) {
        RunMainDialogObserved(script, [](ui::Window, const ui::Message&) {});
    }
};

// 65537 would wrap to 1 at 16 bits, so that stop and start write holding register 0: numbers
// beyond the registers are refused with the loader's own texts and the dialog stays open.
TEST_F(VeximMainDialogValuesTest, RegisterDialogsRefuseRegistersThatDoNotExist) {
    const struct {
        int menu;
        std::string typed;
        std::string refusal;  // empty: taken
        uint16_t LoadOptions::*option;
        uint16_t kept;
    } cases[] = {
        {IDM_RUN_REGISTER, "65537", "Invalid run control register 65537. Must be 1..2048",
         &LoadOptions::runRegister, 33},
        {IDM_RUN_REGISTER, "2049", "Invalid run control register 2049. Must be 1..2048",
         &LoadOptions::runRegister, 33},
        {IDM_RUN_REGISTER, "2048", "", &LoadOptions::runRegister, 2048},
        {IDM_STATUS_REGISTER, "65539", "Invalid status register 65539. Must be 1..2080",
         &LoadOptions::statusRegister, 0},
        {IDM_STATUS_REGISTER, "2081", "Invalid status register 2081. Must be 1..2080",
         &LoadOptions::statusRegister, 0},
        {IDM_STATUS_REGISTER, "2080", "", &LoadOptions::statusRegister, 2080},
        {IDM_STATUS_REGISTER, "0", "", &LoadOptions::statusRegister, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        LoadDefaultSettings(nullptr);
        // A refusal leaves the dialog open: Cancel then keeps the value it had.
        Run("menu " + std::to_string(c.menu) + "\ntext 1037 \"" + c.typed + "\"\ncommand 1\n" +
            (c.refusal.empty() ? "" : "command 2\n"));
        const auto boxes = TranscriptLines("msgbox");
        if (c.refusal.empty()) {
            EXPECT_TRUE(boxes.empty()) << Transcript();
        } else {
            EXPECT_EQ(boxes, std::vector<std::string>{MessageBoxLine("VEXIM Error", c.refusal)});
        }
        EXPECT_EQ(loadOptions.*c.option, c.kept);
    }
}

// Ten time-outs (an erase) must still fit the transport's wait.
TEST_F(VeximMainDialogValuesTest, TimeoutMenuKeepsTheTimeoutUsable) {
    const struct {
        std::string typed;
        int32_t timeoutMs;
    } cases[] = {{"1500", 2000}, {"60000", 60000}, {"2147483647", kLongestTimeoutMs}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        LoadDefaultSettings(nullptr);
        Run("menu 40006\ntext 1037 \"" + c.typed + "\"\ncommand 1\n");
        EXPECT_EQ(linkSettings.timeoutMs, c.timeoutMs);
    }
    EXPECT_EQ(kLongestTimeoutMs, INT32_MAX / 10);
}

// A profile file or history record may come from another program or a damaged store: its
// time-out, retries, drop and channel are brought into range as restored settings are.
TEST_F(VeximMainDialogValuesTest, ProfilesAndHistoryRecordsAreBroughtIntoRange) {
    SystemProfile odd;
    odd.fileName = "odd.vxo";
    odd.connectMode = kConnectTcp;
    odd.host = "127.0.0.1";
    odd.tcpPort = 502;
    odd.timeoutMs = INT32_MAX;
    odd.retries = -4;
    odd.drop = 300;
    odd.channel = 7;
    SystemProfile zero = odd;
    zero.fileName = "zero.vxo";
    zero.timeoutMs = 0;
    zero.retries = 0;
    zero.drop = -1;
    zero.channel = 0;
    ASSERT_TRUE(WriteProfileFile("odd.vxf", odd));
    ASSERT_TRUE(WriteProfileFile("zero.vxf", zero));
    const struct {
        std::string what;
        std::string script;
        int32_t timeoutMs;
    } cases[] = {
        {"profile", "menu 40019\nfile \"odd.vxf\"\n", kLongestTimeoutMs},
        {"profile", "menu 40019\nfile \"zero.vxf\"\n", 5000},
        {"history", "select 1004 0\n", kLongestTimeoutMs},
        {"history", "select 1004 1\n", 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what + ": " + c.script);
        LoadDefaultSettings(nullptr);
        historyCount = 0;
        ASSERT_TRUE(AddDownloadHistory(zero));
        ASSERT_TRUE(AddDownloadHistory(odd));  // newest first: odd, zero
        SaveHistory();
        std::string drop;
        bool firstApplication = false;
        RunMainDialogObserved(c.script, [&](ui::Window self, const ui::Message& message) {
            if (message.kind == ui::MessageKind::Command) {
                drop = ui::GetItemText(self, IDC_DROP);
                firstApplication = ui::IsChecked(self, IDC_APPLICATION_1);
            }
        });
        EXPECT_EQ(linkSettings.timeoutMs, c.timeoutMs);
        EXPECT_EQ(linkSettings.retries, 3);
        EXPECT_EQ(drop, "255");
        EXPECT_TRUE(firstApplication);
    }
}

// A profile keeps the time-out it was saved with wherever the program could have set it itself
// (-T30 gives 3000 ms); only a time-out no road sets is brought into range.
TEST_F(VeximMainDialogValuesTest, ProfileKeepsAUsableTimeout) {
    const struct {
        int32_t saved, loaded;
    } cases[] = {{3000, 3000}, {500, 500}, {2000, 2000}, {6000, 6000},
                 {499, 5000},  {0, 5000},  {-1, 5000},   {INT32_MAX, kLongestTimeoutMs}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        SystemProfile profile;
        profile.fileName = "site.vxo";
        profile.channel = 1;
        profile.timeoutMs = c.saved;
        ASSERT_TRUE(WriteProfileFile("site.vxf", profile));
        LoadDefaultSettings(nullptr);
        Run("menu 40019\nfile \"site.vxf\"\n");
        EXPECT_EQ(linkSettings.timeoutMs, c.loaded);
    }
}

// A file that is no profile is named in a box that says why it cannot be read, by every command
// that reads one; the dialog keeps what it showed.
TEST_F(VeximMainDialogValuesTest, ProfileThatCannotBeReadSaysWhy) {
    SystemProfile profile;
    profile.fileName = "site.vxo";
    profile.channel = 2;
    ASSERT_TRUE(WriteProfileFile("site.vxf", profile));
    std::ofstream("short.vxf", std::ios::binary) << std::string(1000, '\0');
    {
        std::ifstream in("site.vxf", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        bytes[1] = 0x06;  // record size 0x0695
        std::ofstream("other.vxf", std::ios::binary) << bytes;
    }
    const std::string shortWhy = "It holds 1000 bytes; a system profile is 1429 bytes long.";
    const struct {
        std::string script;
        std::string file;
        std::string whyNot;
    } cases[] = {
        {"menu 40019\nfile \"short.vxf\"\n", "short.vxf", shortWhy},
        {"menu 40019\nfile \"other.vxf\"\n", "other.vxf",
         "Its record size is 1685, not 1429: it is not a system profile."},
        {"menu 40023\nfile \"short.vxf\"\n", "short.vxf", shortWhy},
        // The recent profile's file was removed since; the menu lists it once it has been opened.
        {"menu 40028\nmenu 20100\n", "gone.vxf", "The file cannot be opened."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        LoadDefaultSettings(nullptr);
        loadOptions.fileName = "shown.vxo";
        loadOptions.profileName.clear();  // the dialog opens on these settings
        profileHistory[0] = "gone.vxf";
        std::string fileBox;
        RunMainDialogObserved(c.script, [&](ui::Window self, const ui::Message& message) {
            if (message.kind == ui::MessageKind::Command)
                fileBox = ui::GetItemText(self, IDC_FILE_BOX);
        });
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine(
                      "VEXIM Error", "Can't read profile " + c.file + "\n" + c.whyNot)});
        EXPECT_TRUE(TranscriptLines("print").empty());
        EXPECT_EQ(fileBox, "shown.vxo");
    }
}

// Sent as the unit byte, drop 256 would become 0, the broadcast every module obeys: each command
// that talks to a module refuses it before anything is sent.
TEST_F(VeximMainDialogValuesTest, EveryCommandThatSendsChecksTheDrop) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const struct {
        std::string name;
        std::string command;
    } cases[] = {
        {"Query", "command 1043\n"},
        {"Backup Flash", "menu 40024\nfile \"image\"\n"},
        {"Restore Flash", "menu 40025\nfile \"image.bin\"\n"},
        {"Port Settings", "menu 40022\n"},
    };
    std::ofstream("image.bin", std::ios::binary) << std::string(16384, '\x11');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LinkToModule(port);
        Run("text 1017 \"256\"\n" + c.command);
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{
                      MessageBoxLine("VEXIM Error", "Parameter out of range: 256\n" + kDropRange)})
            << Transcript();
        EXPECT_TRUE(TranscriptLines("file").empty());
        EXPECT_TRUE(TranscriptLines("open 11").empty());  // neither dialog 114 nor 117
        EXPECT_TRUE(sim_->requests().empty());
    }
}

// The drop field is read whole: an empty field or "l" would go out as unit 0, the broadcast no
// module answers, and be saved. Blanks around a number are the field's.
TEST_F(VeximMainDialogValuesTest, DropFieldIsTakenOnlyWhole) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const struct {
        std::string typed;
        std::string refusal;  // empty: the download runs
    } cases[] = {
        {"", "The Modbus drop is empty.\nIt must be a whole number from 0 to 255."},
        {"l", "Parameter is not a whole number: l\n" + kDropRange},
        {"abc", "Parameter is not a whole number: abc\n" + kDropRange},
        {"1a", "Parameter is not a whole number: 1a\n" + kDropRange},
        {"256", "Parameter out of range: 256\n" + kDropRange},
        {" 1 ", ""},
        {"1", ""},
    };
    size_t row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("drop \"" + c.typed + "\"");
        ++row;
        const std::string file = WriteSampleObject("drop" + std::to_string(row) + ".vxo", 30 + row);
        LinkToModule(port);
        ASSERT_EQ(SaveSettings(), 1);
        const size_t before = sim_->requests().size();
        Run("text 1004 \"" + file + "\"\ntext 1017 \"" + c.typed + "\"\ncommand 1053\ncommand 1\n");
        krtsim::StateDump dump = sim_->dump();
        if (c.refusal.empty()) {
            EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
            EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, file, 1)) << Transcript();
            continue;
        }
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine("VEXIM Error", c.refusal)});
        EXPECT_EQ(sim_->requests().size(), before);
        // Nothing was saved: the stored drop is the one before.
        linkSettings.drop = -1;
        ASSERT_EQ(RestoreSettings(), 1);
        EXPECT_EQ(linkSettings.drop, 1);
    }
}

// The printout asks the module through the profile's link, as the dialog shows it once the
// profile is loaded: its address, port and drop, never those the dialog held before.
TEST_F(VeximMainDialogValuesTest, PrintProfileAsksThroughTheProfilesWholeLink) {
    const uint16_t port = StartModule({"--unit", "5"});
    ASSERT_NE(port, 0);
    SystemProfile profile;
    profile.fileName = "site.vxo";
    profile.connectMode = kConnectTcp;
    profile.host = "127.0.0.1";
    profile.tcpPort = port;
    profile.drop = 5;
    profile.channel = 1;
    profile.retries = 2;
    profile.timeoutMs = 6000;
    ASSERT_TRUE(WriteProfileFile("site.vxf", profile));
    LinkToModule(RefusingPort());  // the dialog starts on a port where nothing listens, drop 1
    Run("menu 40023\nfile \"site.vxf\"\nprint \"page.txt\"\n");
    const std::string transcript = Transcript();
    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << transcript;
    EXPECT_NE(transcript.find("print \"--- Port 1 Configuation ---\""), std::string::npos)
        << transcript;
    EXPECT_EQ(transcript.find("Failed to read comm configuation"), std::string::npos);
    ASSERT_FALSE(sim_->requests().empty());
    for (const auto& request : sim_->requests()) {
        EXPECT_EQ(request.field("unit"), 5);
    }
}

}  // namespace
