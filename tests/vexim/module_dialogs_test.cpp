// The dialogs that talk to a module besides the download: the communication configuration
// dialog and the flash dialog, against the simulated module.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "downloader/comm_config.h"
#include "downloader/dialogs/comm_config_dialog.h"
#include "downloader/dialogs/flash_dialog.h"
#include "downloader/dialogs/profile_commands.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/module_services.h"
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

// Each number field is taken only when it is wholly digits and in the range the module can use:
// an empty drop would go out as 0 (the broadcast no slave answers), "1a" as 1, an empty port as
// 0. A refusal names its field and nothing is sent; the values next to each refusal, and the
// ones Defaults shows (drops 255, Ethernet drop 0), are written.
TEST_F(VeximModuleDialogsTest, WriteTakesOnlyWholeNumbersInRange) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    const auto drop = [](const char* name, const char* range) {
        return std::string(name) + " must be a numeric value \r\nbetween " + range +
               " inclusively, or 255";
    };
    const std::string port1 = drop("Port 1 drop", "1-247");
    const std::string port2 = drop("Port 2 drop", "1-247");
    const std::string ethernet = drop("Ethernet drop", "0-247");
    const std::string listen =
        "Ethernet listen port must be a numeric value \r\nbetween 1-65535 inclusively";
    const struct {
        int field;
        std::string typed;
        std::string refusal;  // empty: written
        int word = 0;         // the block word it lands in
        uint16_t lowByteOrWord = 0;
    } cases[] = {
        {1051, "", port1},
        {1051, "1a", port1},
        {1051, "0", port1},
        {1051, "248", port1},
        {1051, "256", port1},
        {1051, " 5", port1},
        {1055, "", port2},
        {1055, "254", port2},
        {1057, "", ethernet},
        {1057, "300", ethernet},
        {1056, "", listen},
        {1056, "0", listen},
        {1056, "70000", listen},
        {1056, "5O2", listen},
        {1051, "1", "", kSerialPort1Word, 1},
        {1051, "247", "", kSerialPort1Word, 247},
        {1051, "255", "", kSerialPort1Word, 255},
        {1055, "255", "", kSerialPort2Word, 255},
        {1057, "0", "", kEthernetDropWord, 0},
        {1057, "255", "", kEthernetDropWord, 255},
        {1056, "1", "", kTcpPortWord, 1},
        {1056, "65535", "", kTcpPortWord, 65535},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.typed + "\"");
        const size_t before = sim_->requests().size();
        RunConfig("text " + std::to_string(c.field) + " \"" + c.typed + "\"\ncommand 1044\n",
                  [](ui::Window, const ui::Message&) {});
        const auto requests = sim_->requests();
        bool wrote = false;
        for (size_t i = before; i < requests.size(); ++i)
            wrote = wrote || requests[i].functionCode == 16;
        if (!c.refusal.empty()) {
            EXPECT_EQ(TranscriptLines("msgbox"),
                      std::vector<std::string>{MessageBoxLine("Value error", c.refusal)});
            EXPECT_FALSE(wrote);
            continue;
        }
        EXPECT_TRUE(wrote) << Transcript();
        krtsim::StateDump dump = sim_->dump();
        const uint16_t word = dump.holding(37 + c.word);
        EXPECT_EQ(c.word == kTcpPortWord || c.word == kEthernetDropWord ? word : word & 0xFF,
                  c.lowByteOrWord);
    }
}

// An address the Ethernet port could not be reached at is written only when the user says so;
// the default answer writes nothing. A gateway of 0.0.0.0 (none) and addresses that only look
// like a broadcast are written without a question.
TEST_F(VeximModuleDialogsTest, WriteAsksBeforeAnUnreachableAddress) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    const std::string anyway = "Write the configuration to the module anyway?";
    const struct {
        std::string edits;
        std::string question;  // empty: none asked
    } cases[] = {
        {"ip 1018 0.0.0.0",
         "IP address 0.0.0.0 is no address: the module cannot be reached over Ethernet."},
        {"ip 1018 255.255.255.255",
         "IP address 255.255.255.255 is the broadcast address: the module cannot be reached "
         "over Ethernet at it."},
        {"ip 1018 10.255.255.255\nip 1053 255.0.0.0",
         "IP address 10.255.255.255 is the broadcast address of its subnet 255.0.0.0: the "
         "module cannot be reached over Ethernet at it."},
        {"ip 1018 192.168.1.20\nip 1053 255.0.255.0", "Subnet mask 255.0.255.0 is not contiguous."},
        {"ip 1018 192.168.1.20\nip 1054 0.0.0.0", ""},
        {"ip 1018 10.0.0.255\nip 1053 255.255.0.0", ""},
        {"ip 1018 10.0.0.7\nip 1053 255.255.255.255", ""},
    };
    for (const auto& c : cases) {
        for (const char* answer : {"No", "Yes"}) {
            SCOPED_TRACE(c.edits + " -> " + answer);
            // The module starts each time from its factory address.
            ASSERT_TRUE(sim_->stop());
            ASSERT_NE(StartModule(), 0);
            LinkToModule(sim_->port());
            RunConfig(c.edits + "\ncommand 1044\nanswer " + answer + "\n",
                      [](ui::Window, const ui::Message&) {});
            const bool asked = !c.question.empty();
            const bool written = !asked || std::string(answer) == "Yes";
            std::vector<std::string> boxes;
            if (asked) {
                boxes.push_back(MessageBoxLine("Configure Communications",
                                               c.question + "\r\n" + anyway, answer));
            }
            if (written) {
                boxes.push_back(MessageBoxLine("Configure Communications",
                                               "Communication configuration written to the "
                                               "module."));
            }
            EXPECT_EQ(TranscriptLines("msgbox"), boxes) << Transcript();
            krtsim::StateDump dump = sim_->dump();
            // The factory address is 192.168.1.10.
            EXPECT_EQ(dump.holding(37 + kIpAddressWord + 3) != 10, written);
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
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Backup flash", "Flash backed up to\nimage.bin")})
        << Transcript();
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

// Restore Flash overwrites both flash files of the module: it asks first, naming the image file
// and the module it would go to, and only Yes writes; the open dialog offers no read-only box,
// and a restore that went through says so.
TEST_F(VeximModuleDialogsTest, RestoreAsksNamingTheFileAndTheModule) {
    EXPECT_NE(ui::FileDialogFlags(RestoreFlashFileOptions("image.bin"), false) & 0x4u, 0u);

    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    const std::string folder = TempPath("j.smith/\xC3\x96lpumpe 2");
    std::filesystem::create_directories(folder);
    const std::string image = folder + "/image.bin";
    std::string bytes(16384, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + 3);
    std::ofstream(image, std::ios::binary) << bytes;
    const auto flashHoldsImage = [&](krtsim::StateDump& dump) {
        const std::vector<uint16_t> f1 = dump.channelFlash(10);
        return f1.size() == 4096 && f1[5] == ((bytes[10] & 0xFF) << 8 | (bytes[11] & 0xFF));
    };
    for (const char* answer : {"No", "Yes"}) {
        SCOPED_TRACE(answer);
        LinkToModule(port);
        const size_t before = sim_->requests().size();
        RunMainDialogObserved("menu 40025\nfile " + vexim_test::Quoted(image) + "\nanswer " +
                                  answer + "\nanswer OK\n",
                              [](ui::Window, const ui::Message&) {});
        const std::string question = "Restore the flash of module " + moduleName +
                                     " at 127.0.0.1:" + std::to_string(port) + " drop 1 from\n" +
                                     image + "?\nWhat the module's flash holds now is overwritten.";
        const auto boxes = TranscriptLines("msgbox");
        ASSERT_FALSE(boxes.empty()) << Transcript();
        EXPECT_EQ(boxes[0], MessageBoxLine("Restore flash", question, answer));
        EXPECT_NE(moduleName.find("KRT"), std::string::npos);
        krtsim::StateDump dump = sim_->dump();
        const auto requests = sim_->requests();
        bool wrote = false;
        for (size_t i = before; i < requests.size(); ++i)
            wrote = wrote || requests[i].functionCode == 21;
        if (std::string(answer) == "No") {
            EXPECT_EQ(boxes.size(), 1u);
            EXPECT_FALSE(wrote);
            EXPECT_FALSE(flashHoldsImage(dump));
            EXPECT_TRUE(TranscriptLines("open 117").empty());
        } else {
            EXPECT_EQ(boxes,
                      (std::vector<std::string>{
                          MessageBoxLine("Restore flash", question, answer),
                          MessageBoxLine("Restore flash", "Flash restored from\n" + image)}));
            EXPECT_TRUE(flashHoldsImage(dump));
        }
    }
}

}  // namespace
