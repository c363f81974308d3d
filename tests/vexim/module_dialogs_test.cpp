// The dialogs that talk to a module besides the download: the communication configuration
// dialog and the flash dialog, against the simulated module.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "downloader/comm_config.h"
#include "downloader/dialogs/comm_config_dialog.h"
#include "downloader/dialogs/flash_dialog.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/settings.h"
#include "vexim_fixture.h"

namespace ui = platform::ui;

namespace {

using vexim_test::MessageBoxLine;

class VeximModuleDialogsTest : public vexim_test::VeximTest {
  protected:
    // Runs the configuration dialog with `script`; `observe` sees it after each command.
    int RunConfig(const std::string& script,
                  const std::function<void(ui::Window, const ui::Message&)>& observe) {
        StartUi(script);
        return ui::RunDialog(IDD_COMM_CONFIG, nullptr,
                             [&](ui::Window self, const ui::Message& message) {
                                 const bool handled = CommConfigDialogProc(self, message);
                                 observe(self, message);
                                 return handled;
                             });
    }
};

struct Shown {
    std::string drop, baud, parity;
};

TEST_F(VeximModuleDialogsTest, ConfigurationShowsThePortWords) {
    // Port 1: no parity, baud code 0x1100 (57600, not offered but shown as the module reports
    // it), drop 5. Port 2: even, 19200.
    const uint16_t port = StartModule({"--reg", "37=0x9105", "--reg", "38=0x0F20"});
    ASSERT_NE(port, 0);
    LinkToModule(port);
    std::vector<Shown> shown;
    const int result = RunConfig("", [&](ui::Window self, const ui::Message& message) {
        if (message.kind != ui::MessageKind::Init)
            return;
        const int rows[2][3] = {{IDC_CFG_DROP_1, IDC_CFG_BAUD_1, IDC_CFG_PARITY_1},
                                {IDC_CFG_DROP_2, IDC_CFG_BAUD_2, IDC_CFG_PARITY_2}};
        for (const auto& row : rows) {
            shown.push_back({ui::GetItemText(self, row[0]),
                             ui::ItemText(self, row[1], ui::SelectedItem(self, row[1])),
                             ui::ItemText(self, row[2], ui::SelectedItem(self, row[2]))});
        }
    });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].drop, "5");
    EXPECT_EQ(shown[0].baud, "57600");
    EXPECT_EQ(shown[0].parity, "None");
    EXPECT_EQ(shown[1].drop, "32");
    EXPECT_EQ(shown[1].baud, "19200");
    EXPECT_EQ(shown[1].parity, "Even");
}

TEST_F(VeximModuleDialogsTest, WriteRefusesBadValuesBeforeSendingAnything) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    struct Case {
        std::string edit;
        std::string message;
    };
    const std::string drops = "Drops must be a numeric value \r\nbetween 0-255 inclusively";
    const std::string listen =
        "Ethernet listen port must be a numeric value \r\nbetween 0-65535 inclusively";
    for (const Case& c : {Case{"text 1051 \"256\"", drops}, Case{"text 1057 \"300\"", drops},
                          Case{"text 1056 \"70000\"", listen}}) {
        SCOPED_TRACE(c.edit);
        const size_t before = sim_->requests().size();
        RunConfig(c.edit + "\ncommand 1044\n", [](ui::Window, const ui::Message&) {});
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{MessageBoxLine("Value error", c.message)});
        // Only the query made when the dialog opened reached the module.
        const auto requests = sim_->requests();
        for (size_t i = before; i < requests.size(); ++i) {
            EXPECT_NE(requests[i].functionCode, 16) << "a write was sent";
        }
    }
}

TEST_F(VeximModuleDialogsTest, WriteSendsTheEditedWords) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    RunConfig(
        "text 1051 \"7\"\nselect 1046 4\nselect 1047 1\ntext 1056 \"1502\"\n"
        "ip 1018 192.168.1.20\ncommand 1044\n",
        [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Configure Communications",
                                             "Communication configuration written to the module.")})
        << Transcript();
    krtsim::StateDump dump = sim_->dump();
    EXPECT_EQ(dump.holding(37), 0x8000 | 0x0F00 | 7);  // no parity, 19200, drop 7
    EXPECT_EQ(dump.holding(37 + kTcpPortWord), 1502);
    EXPECT_EQ(dump.holding(37 + kIpAddressWord), 192);
    EXPECT_EQ(dump.holding(37 + kIpAddressWord + 3), 20);
}

// Only the IP address edited: a port at a rate the list does not offer (57600, or a code of
// some other firmware) keeps it, so its serial peer is not cut off.
TEST_F(VeximModuleDialogsTest, WriteKeepsARateTheListLacks) {
    const struct {
        uint16_t word;
        std::string shown;
    } cases[] = {{0x9105, "57600"}, {0x9505, "Code 0x1500"}, {0xD105, "57600"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        char preset[32];
        std::snprintf(preset, sizeof preset, "37=0x%04X", c.word);
        const uint16_t port = StartModule({"--reg", preset});
        ASSERT_NE(port, 0);
        LinkToModule(port);
        std::string baud;
        RunConfig("ip 1018 192.168.1.99\ncommand 1044\n", [&](ui::Window self,
                                                              const ui::Message& message) {
            if (message.kind == ui::MessageKind::Init) {
                baud = ui::ItemText(self, IDC_CFG_BAUD_1, ui::SelectedItem(self, IDC_CFG_BAUD_1));
            }
        });
        EXPECT_EQ(baud, c.shown);
        krtsim::StateDump dump = sim_->dump();
        EXPECT_EQ(dump.holding(37), c.word);
        EXPECT_EQ(dump.holding(37 + kIpAddressWord + 3), 99);
        ASSERT_TRUE(sim_->stop());
    }
}

// The box of a link to a loopback port where nothing listens, and no other.
std::vector<std::string> OnlyTheOpenersBox(uint16_t port) {
    return {MessageBoxLine("VEXIM Error",
                           "Can't open TCP connection to 127.0.0.1:" + std::to_string(port))};
}

// One failure, one box, and the box names the cause: the address that would not connect, or a
// module that was reached but did not answer.
TEST_F(VeximModuleDialogsTest, ConfigurationClosesWhenTheModuleCannotBeReached) {
    const uint16_t refusing = RefusingPort();
    LinkToModule(refusing);
    const int result = RunConfig("", [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(result, -1);
    EXPECT_EQ(TranscriptLines("msgbox"), OnlyTheOpenersBox(refusing));

    const uint16_t port = StartModule({"--fault", "fc=3,do=drop"});
    ASSERT_NE(port, 0);
    LinkToModule(port);
    linkSettings.timeoutMs = 500;
    EXPECT_EQ(RunConfig("", [](ui::Window, const ui::Message&) {}), -1);
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{
                  MessageBoxLine("Communications error", "Failed to contact the module")});
}

TEST_F(VeximModuleDialogsTest, WriteToALinkThatWillNotOpenShowsOneBox) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    const uint16_t refusing = RefusingPort();
    RunConfig("command 1044\n", [refusing](ui::Window, const ui::Message& message) {
        if (message.kind == ui::MessageKind::Init)
            linkSettings.tcpPort = refusing;  // the module goes away after the first query
    });
    EXPECT_EQ(TranscriptLines("msgbox"), OnlyTheOpenersBox(refusing));
}

TEST_F(VeximModuleDialogsTest, FlashBackupAddsTheExtensionAndRestoreNeedsItsFile) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    loadOptions.lastFlashFile = "image";
    RunFlashDialog(nullptr, IDM_BACKUP_FLASH);
    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    ASSERT_TRUE(std::filesystem::exists("image.bin"));
    EXPECT_EQ(std::filesystem::file_size("image.bin"), 16384u);
    EXPECT_EQ(loadOptions.lastFlashFile, "image.bin");  // the name of the file written
    EXPECT_EQ(TranscriptLines("open 117"), std::vector<std::string>{"open 117 \"Flash\""});

    StartUi("");
    loadOptions.lastFlashFile = "missing.bin";
    RunFlashDialog(nullptr, IDM_RESTORE_FLASH);
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Restore flash", "Failed to open file for reading")});
}

}  // namespace
