// The main dialog driven by the user through the headless UI: tabs, defaults, downloads with
// their history, recent files, profiles and the number dialogs.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "downloader/connection.h"
#include "downloader/dialogs/dialog_mapping.h"
#include "downloader/dialogs/vexim_resource.h"
#include "downloader/history.h"
#include "downloader/settings.h"
#include "downloader/system_profile.h"
#include "vexim_fixture.h"

namespace ui = platform::ui;

namespace {

using vexim_test::MessageBoxLine;

class VeximMainDialogTest : public vexim_test::VeximTest {};

TEST_F(VeximMainDialogTest, TabsShowTheirOwnControls) {
    // A control of each group: serial, TCP, common, Program Info list, Module Info value.
    const int probes[] = {IDC_BAUD, IDC_HOST, IDC_START_DOWNLOAD, IDC_PROGRAM_INFO_LIST,
                          IDC_MODULE_FIRMWARE};
    std::map<int, std::vector<bool>> shown;  // tab -> visibility of the probes
    std::vector<int32_t> modes;
    LoadDefaultSettings(nullptr);
    RunMainDialogObserved("tab 1012 1\ntab 1012 2\ntab 1012 3\ntab 1012 0\n",
                          [&](ui::Window self, const ui::Message& message) {
                              if (message.kind != ui::MessageKind::TabChanged)
                                  return;
                              const int tab = ui::SelectedTab(self, IDC_TABS);
                              for (int id : probes)
                                  shown[tab].push_back(ui::IsItemVisible(self, id));
                              modes.push_back(linkSettings.connectMode);
                          });
    const std::map<int, std::vector<bool>> expected = {
        {0, {true, false, true, false, false}},
        {1, {false, true, true, false, false}},
        {2, {false, false, false, true, false}},
        {3, {false, false, false, false, true}},
    };
    EXPECT_EQ(shown, expected);
    // Program Info and Module Info keep the connection mode of the last connection tab.
    EXPECT_EQ(modes, (std::vector<int32_t>{1, 1, 1, 0}));
}

TEST_F(VeximMainDialogTest, SetDefaultsShowsAndSavesTheDefaults) {
    SaveStartSettings([] {
        linkSettings.drop = 9;
        loadOptions.channel = 2;
        linkSettings.baudIndex = 3;
        linkSettings.host = "10.1.2.3";
        linkSettings.connectMode = kConnectTcp;
    });
    ASSERT_EQ(RestoreSettings(), 1);
    std::string dropShown;
    std::string hostShown = "unset";
    bool application1 = false;
    int baudShown = -1;
    RunMainDialogObserved("command 1034\n", [&](ui::Window self, const ui::Message& message) {
        if (message.kind != ui::MessageKind::Command || message.id != IDC_SET_DEFAULTS)
            return;
        dropShown = ui::GetItemText(self, IDC_DROP);
        hostShown = ui::GetItemText(self, IDC_HOST);
        application1 = ui::IsChecked(self, IDC_APPLICATION_1);
        baudShown = ui::SelectedItem(self, IDC_BAUD);
    });
    EXPECT_EQ(dropShown, "255");
    EXPECT_TRUE(application1);
    EXPECT_EQ(baudShown, 13);
    linkSettings = LinkSettings{};
    ASSERT_EQ(RestoreSettings(), 1);
    EXPECT_EQ(linkSettings.drop, 255);
    EXPECT_EQ(loadOptions.channel, 1);
    EXPECT_EQ(linkSettings.baudIndex, 13);
    // What the dialog shows is what was saved.
    EXPECT_EQ(hostShown, linkSettings.host);
    EXPECT_EQ(hostShown, "");
}

TEST_F(VeximMainDialogTest, DownloadsFillTheHistoryAndTheRecentFilesMenu) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    WriteSampleObject("first.vxo");
    WriteSampleObject("second.vxo", 40);
    LinkToModule(port);
    std::vector<std::string> listed;
    std::optional<std::string> recentMenuItem;
    std::string fileAfterRecent;
    const std::string script =
        "text 1004 \"first\"\n"  // ".vxo" is added when the name does not open
        "command 1053\n"
        "command 1\n"  // OK on the progress dialog after an interactive download
        "text 1004 \"second.vxo\"\n"
        "command 1053\n"
        "command 1\n"
        "menu 40028\nmenu 40028\n"  // the menu bar entered: the recent entries appear
        "menu 20001\n";
    const int result =
        RunMainDialogObserved(script, [&](ui::Window self, const ui::Message& message) {
            if (message.kind == ui::MessageKind::InitMenu) {
                listed.clear();
                for (int i = 0; i < ui::ItemCount(self, IDC_FILE_BOX); ++i) {
                    listed.push_back(ui::ItemText(self, IDC_FILE_BOX, i));
                }
                recentMenuItem = ui::MenuItemText(self, 20001);
            }
            if (message.kind == ui::MessageKind::Command && message.id == 20001) {
                fileAfterRecent = ui::GetItemText(self, IDC_FILE_BOX);
            }
        });
    EXPECT_EQ(result, 16) << Transcript();  // closed by the user at the end of the script
    EXPECT_EQ(TranscriptLines("end 104"), (std::vector<std::string>{"end 104 0", "end 104 0"}));
    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
    EXPECT_EQ(listed, (std::vector<std::string>{"second.vxo", "first.vxo"}));
    EXPECT_EQ(recentMenuItem, std::optional<std::string>("first.vxo"));
    EXPECT_EQ(fileAfterRecent, "first.vxo");
    krtsim::StateDump dump = sim_->dump();
    EXPECT_TRUE(vexim_test::ModuleHoldsFile(dump, "second.vxo", 1));

    // Downloading the older file again moves it to the top; the store keeps the order.
    historyCount = 0;
    RestoreFiles(nullptr);
    ASSERT_EQ(historyCount, 2);
    EXPECT_EQ(downloadHistory[0].fileName, "second.vxo");
    EXPECT_EQ(downloadHistory[1].fileName, "first.vxo");
}

TEST_F(VeximMainDialogTest, QueryFillsTheModuleInfoTab) {
    const uint16_t port = StartModule({"--serial", "4711"});
    ASSERT_NE(port, 0);
    LinkToModule(port);
    std::string firmware, serial;
    int tab = -1;
    bool valuesShown = false;
    RunMainDialogObserved("command 1043\n", [&](ui::Window self, const ui::Message& message) {
        if (message.kind != ui::MessageKind::Command || message.id != IDC_QUERY)
            return;
        firmware = ui::GetItemText(self, IDC_MODULE_FIRMWARE);
        serial = ui::GetItemText(self, IDC_SERIAL_NUMBER);
        tab = ui::SelectedTab(self, IDC_TABS);
        valuesShown = ui::IsItemVisible(self, IDC_MODULE_FIRMWARE) &&
                      !ui::IsItemVisible(self, IDC_START_DOWNLOAD);
    });
    EXPECT_EQ(firmware, "KRT-2000 03Dec2020  ");  // the module name is 20 characters
    EXPECT_EQ(serial, "4711");
    EXPECT_EQ(tab, kModuleInfoTab);
    EXPECT_TRUE(valuesShown);
    EXPECT_EQ(CurrentConnection, nullptr);  // the query closes its connection
}

// The box names the file as given and the name tried second, so that "nothere.vxo" is
// recognised in "nothere.vxo.vxo".
TEST_F(VeximMainDialogTest, MissingFileShowsItsNameAndTheSecondTry) {
    for (const std::string given : {"nothing-here", "nothere.vxo"}) {
        LoadDefaultSettings(nullptr);
        RunMainDialogObserved("text 1004 \"" + given + "\"\ncommand 1053\n",
                              [](ui::Window, const ui::Message&) {});
        EXPECT_EQ(TranscriptLines("msgbox"),
                  std::vector<std::string>{
                      MessageBoxLine("Can't open file", given + "\nnor " + given + ".vxo")});
        EXPECT_TRUE(TranscriptLines("open 104").empty());
    }
}

TEST_F(VeximMainDialogTest, SavedProfileComesBackWhenLoaded) {
    LoadDefaultSettings(nullptr);
    linkSettings.drop = 42;
    std::string dropAfterLoad;
    const std::string script =
        "menu 40020\nfile \"kept\"\n"  // saved as kept.vxf: the name has no "."
        "text 1017 \"77\"\n"
        "menu 40019\nfile \"kept.vxf\"\n"
        "menu 40019\nfile \"kept.vxf\"\n";  // loaded twice: listed once
    RunMainDialogObserved(script, [&](ui::Window self, const ui::Message& message) {
        if (message.kind == ui::MessageKind::Command && message.id == 40019) {
            dropAfterLoad = ui::GetItemText(self, IDC_DROP);
        }
    });
    ASSERT_TRUE(std::filesystem::exists("kept.vxf"));
    EXPECT_EQ(std::filesystem::file_size("kept.vxf"), kSystemProfileSize);
    EXPECT_EQ(dropAfterLoad, "42");
    EXPECT_EQ(profileHistory[0], "kept.vxf");
    EXPECT_EQ(profileHistory[1], "");
}

// A profile's fields are fixed: a file or host name longer than its field is refused, and no
// profile is written that would load back naming something else.
TEST_F(VeximMainDialogTest, SaveProfileRefusesNamesLongerThanTheirFields) {
    struct Case {
        int control;
        std::string text;
        bool saved;
    };
    const Case cases[] = {
        {IDC_FILE_BOX, std::string(kMaxFileName, 'f'), true},
        {IDC_FILE_BOX, std::string(kMaxFileName + 1, 'f'), false},
        {IDC_HOST, std::string(kMaxHost, 'h'), true},
        {IDC_HOST, std::string(kMaxHost + 1, 'h'), false},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string name = "long" + std::to_string(n++) + ".vxf";
        SCOPED_TRACE(name);
        LoadDefaultSettings(nullptr);
        linkSettings.connectMode = kConnectTcp;  // the host edit is on the TCP tab
        loadOptions.profileName.clear();         // the dialog opens on these settings
        RunMainDialogObserved("text " + std::to_string(c.control) + " \"" + c.text +
                                  "\"\nmenu 40020\nfile \"" + name + "\"\n",
                              [](ui::Window, const ui::Message&) {});
        EXPECT_TRUE(TranscriptLines("error").empty()) << Transcript();
        EXPECT_EQ(std::filesystem::exists(name), c.saved);
        const std::vector<std::string> boxes = TranscriptLines("msgbox");
        if (c.saved) {
            EXPECT_TRUE(boxes.empty());
        } else {
            // The box text itself is bounded; the refusal and what it names are what matter.
            EXPECT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes.empty()
                          ? std::string::npos
                          : boxes[0].rfind("msgbox \"VEXIM Error\" \"Parameter too long: " +
                                               c.text.substr(0, 200),
                                           0),
                      0u);
        }
        if (c.saved) {
            SystemProfile record;
            ASSERT_TRUE(ReadProfileFile(name, record));
            EXPECT_EQ(c.control == IDC_HOST ? record.host : record.fileName, c.text);
        }
    }
}

// A profile that cannot be written is said, naming it; nothing is left in its place.
TEST_F(VeximMainDialogTest, SaveProfileThatCannotBeWrittenSaysSo) {
    const std::string name = "no such folder/line.vxf";
    LoadDefaultSettings(nullptr);
    loadOptions.profileName.clear();
    RunMainDialogObserved("menu 40020\nfile \"" + name + "\"\n",
                          [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{"msgbox \"VEXIM Error\" \"Can't save profile " + name +
                                       "\" -> OK"})
        << Transcript();
    EXPECT_FALSE(std::filesystem::exists("no such folder"));
}

TEST_F(VeximMainDialogTest, PrintAndFlashCommandsAskForTheirFiles) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    const std::string script =
        "menu 40020\nfile \"site.vxf\"\n"
        "menu 40023\nfile \"site.vxf\"\nprint \"page.txt\"\n"
        "menu 40024\nfile \"image\"\n"
        "menu 40025\nfile cancel\n";
    RunMainDialogObserved(script, [](ui::Window, const ui::Message&) {});
    const std::string transcript = Transcript();
    EXPECT_NE(transcript.find("print \"Profile: site.vxf\""), std::string::npos) << transcript;
    EXPECT_NE(
        transcript.find("print \"   Address: 127.0.0.1:" + std::to_string(port) + " drop 1\""),
        std::string::npos);
    EXPECT_NE(transcript.find("print \"--- Port 1 Configuation ---\""), std::string::npos);
    EXPECT_EQ(TranscriptLines("open 117"), std::vector<std::string>{"open 117 \"Flash\""});
    EXPECT_EQ(std::filesystem::file_size("image.bin"), 16384u);
    EXPECT_EQ(loadOptions.lastFlashFile, "image.bin");
    // The backup says where it went; nothing else needed a word.
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "Backup flash", "Flash backed up to\nimage.bin")})
        << transcript;
}

// Restore offers the name of the last backup; after a backup to a bare name that is the file
// actually written, so accepting it restores that image.
TEST_F(VeximMainDialogTest, RestoreOffersTheImageTheBackupWrote) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    RunMainDialogObserved(
        "menu 40024\nfile \"img\"\nanswer OK\nmenu 40025\nfile offered\n"
        "answer Yes\nanswer OK\n",
        [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(TranscriptLines("file"),
              (std::vector<std::string>{"file \"Backup flash to...\" -> \"img\"",
                                        "file \"Restore flash from...\" -> \"img.bin\""}));
    EXPECT_EQ(TranscriptLines("open 117"), (std::vector<std::string>(2, "open 117 \"Flash\"")));
    const auto boxes = TranscriptLines("msgbox");
    ASSERT_EQ(boxes.size(), 3u) << Transcript();
    EXPECT_EQ(boxes.back(), MessageBoxLine("Restore flash", "Flash restored from\nimg.bin"));
    EXPECT_TRUE(TranscriptLines("error").empty()) << Transcript();
}

// A name typed without an extension gets ".vxf" or ".bin" whatever the folders above it hold: a
// user folder with a dot (j.smith), a blank and a letter beyond ASCII.
TEST_F(VeximMainDialogTest, FoldersWithADotDoNotStopTheDefaultExtension) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    LinkToModule(port);
    const std::string folder = TempPath("j.smith/\xC3\x96lpumpe 2");
    std::filesystem::create_directories(folder);
    RunMainDialogObserved("menu 40020\nfile " + vexim_test::Quoted(folder + "/site") +
                              "\nmenu 40024\nfile " + vexim_test::Quoted(folder + "/image") +
                              "\nanswer OK\n",
                          [](ui::Window, const ui::Message&) {});
    EXPECT_TRUE(std::filesystem::exists(folder + "/site.vxf")) << Transcript();
    EXPECT_EQ(loadOptions.profileName, folder + "/site.vxf");
    ASSERT_TRUE(std::filesystem::exists(folder + "/image.bin")) << Transcript();
    EXPECT_EQ(std::filesystem::file_size(folder + "/image.bin"), 16384u);
    EXPECT_EQ(loadOptions.lastFlashFile, folder + "/image.bin");
    EXPECT_FALSE(std::filesystem::exists(folder + "/site"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/image"));
}

// Help comes from the file installed beside the program; without it the user is told which file
// is missing instead of nothing happening.
TEST_F(VeximMainDialogTest, HelpNamesTheHelpFileItCannotOpen) {
    LoadDefaultSettings(nullptr);
    const std::string help = ui::HelpFilePath("vexim.chm");
    ASSERT_EQ(std::filesystem::path(help).parent_path(),
              std::filesystem::canonical("/proc/self/exe").parent_path());
    std::filesystem::remove(help);
    RunMainDialogObserved("menu 40003\n", [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(TranscriptLines("help"),
              std::vector<std::string>{"help " + vexim_test::Quoted(help)});
    EXPECT_EQ(TranscriptLines("msgbox"), std::vector<std::string>{MessageBoxLine(
                                             "VEXIM Error", "Can't open help file " + help)});

    { std::ofstream(help) << "help"; }
    RunMainDialogObserved("menu 40003\n", [](ui::Window, const ui::Message&) {});
    std::filesystem::remove(help);
    EXPECT_EQ(TranscriptLines("help"),
              std::vector<std::string>{"help " + vexim_test::Quoted(help)});
    EXPECT_TRUE(TranscriptLines("msgbox").empty()) << Transcript();
}

TEST_F(VeximMainDialogTest, NumberDialogsCheckWhatIsTyped) {
    LoadDefaultSettings(nullptr);
    const std::string script =
        "menu 40006\ntext 1037 \"1500\"\ncommand 1\n"  // raised to 2000
        "menu 40007\ntext 1037 \"12a\"\ncommand 1\n"   // refused, the dialog stays
        "text 1037 \"7\"\ncommand 1\n"
        "menu 40008\ntext 1037 \"5\"\ncommand 2\n"  // Cancel keeps the value
        "menu 40009\ntext 1037 \"99999999999\"\ncommand 1\ncommand 2\n";
    std::vector<int32_t> timeouts;
    RunMainDialogObserved(script, [&](ui::Window, const ui::Message& message) {
        if (message.kind == ui::MessageKind::Command && message.id == 40006) {
            timeouts.push_back(linkSettings.timeoutMs);
        }
    });
    EXPECT_EQ(timeouts, std::vector<int32_t>{2000});
    EXPECT_EQ(linkSettings.retries, 7);
    EXPECT_EQ(loadOptions.statusRegister, 0);
    EXPECT_EQ(loadOptions.runRegister, 33);
    const std::string refused = MessageBoxLine("Invalid Number", "Please enter a postive integer");
    EXPECT_EQ(TranscriptLines("msgbox"), (std::vector<std::string>{refused, refused}));
    // Timeout and Retries are saved at once.
    linkSettings = LinkSettings{};
    ASSERT_EQ(RestoreSettings(), 1);
    EXPECT_EQ(linkSettings.retries, 7);
}

TEST_F(VeximMainDialogTest, OptionTogglesFollowTheMenuChecks) {
    LoadDefaultSettings(nullptr);
    bool checked = false;
    RunMainDialogObserved("menu 40028\nmenu 40010\n", [&](ui::Window self, const ui::Message& m) {
        if (m.kind == ui::MessageKind::Command && m.id == 40028) {
            checked = ui::IsMenuItemChecked(self, 40028);
        }
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(loadOptions.ignoreHaltStatus, 1);
    EXPECT_EQ(loadOptions.autoStart, 0);  // on by default, toggled off
}

// Values from the command line that the controls cannot show directly still come back.
TEST_F(VeximMainDialogTest, CommandLineValuesSurviveTheControls) {
    struct Case {
        int16_t channel;
        std::string port;
    };
    for (const Case& c : {Case{10, "COM9:"}, Case{11, "COM1:"}, Case{2, "COM2:"}}) {
        SCOPED_TRACE(c.port);
        LoadDefaultSettings(nullptr);
        loadOptions.channel = c.channel;
        linkSettings.portName = c.port;
        linkSettings.baudIndex = 4;
        RunMainDialogObserved("", [](ui::Window self, const ui::Message& message) {
            if (message.kind != ui::MessageKind::Init)
                return;
            ui::SelectItem(self, IDC_BAUD, -1);  // a list without a selection
            DialogToSettings(self);
        });
        EXPECT_EQ(loadOptions.channel, c.channel);
        EXPECT_EQ(linkSettings.portName, c.port);
        EXPECT_EQ(linkSettings.baudIndex, 4);
    }
}

TEST_F(VeximMainDialogTest, UnknownRecentEntriesChangeNothing) {
    LoadDefaultSettings(nullptr);
    loadOptions.fileName = "kept.vxo";
    std::string file;
    RunMainDialogObserved("menu 20005\nmenu 20107\n", [&](ui::Window self, const ui::Message& m) {
        if (m.kind == ui::MessageKind::Command)
            file = ui::GetItemText(self, IDC_FILE_BOX);
    });
    EXPECT_EQ(file, "kept.vxo");
}

TEST_F(VeximMainDialogTest, TitleNamesTheFileWhileInactive) {
    LoadDefaultSettings(nullptr);
    loadOptions.fileName = "C:\\work\\prog.vxo";
    RunMainDialogObserved("activate 1\nactivate 0\n", [](ui::Window, const ui::Message&) {});
    const auto titles = TranscriptLines("title");
    ASSERT_GE(titles.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(titles.end() - 2, titles.end()),
              (std::vector<std::string>{"title \"ZKRT File Downloader - 03Dec2020\"",
                                        "title \"prog.vxo - ZKRT File Downloader - 03Dec2020\""}));
}

}  // namespace

// A name longer than its field is refused where it is used, never cut into another name that
// might open or connect.
TEST_F(VeximMainDialogTest, OverLongNamesAreRefusedNotCut) {
    // An existing, readable file whose path is longer than the field: cut to the field it
    // would name a different path.
    std::string nested;
    while (nested.size() <= kMaxFileName) {
        nested += std::string(60, 'd') + "/";
    }
    std::filesystem::create_directories(TempPath(nested));
    const std::string longFile = nested + "sample.vxo";
    WriteSampleObject(longFile);
    LoadDefaultSettings(nullptr);
    RunMainDialogObserved("text 1004 \"" + longFile + "\"\ncommand 1053\n",
                          [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine("Can't open file", longFile)});
    EXPECT_TRUE(TranscriptLines("open 104").empty());

    // A host name longer than its field, through the controls to the connection.
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    WriteSampleObject("short.vxo");
    LinkToModule(port);
    linkSettings.host = std::string(kMaxHost + 1, 'h');
    RunMainDialogObserved("text 1004 \"short.vxo\"\ncommand 1053\n",
                          [](ui::Window, const ui::Message&) {});
    const std::vector<std::string> boxes = TranscriptLines("msgbox");
    ASSERT_FALSE(boxes.empty()) << Transcript();
    // The box text itself is bounded; the refusal is what matters.
    EXPECT_NE(boxes.front().find("Can't open TCP connection to hhhh"), std::string::npos)
        << boxes.front();
    EXPECT_TRUE(sim_->requests().empty());
}

// The Program Info list follows the name typed in the file box, all of it: a name cut to a
// fixed length can name another file, whose digest the next download would then store.
TEST_F(VeximMainDialogTest, TypedFileNameIsListedWhole) {
    std::string folder;
    while (folder.size() < 240)
        folder += std::string(59, 'd') + "/";
    std::filesystem::create_directories(TempPath(folder));
    const std::string listed = folder + std::string(255 - folder.size() - 4, 'p') + ".vxo";
    ASSERT_EQ(listed.size(), 255u);
    WriteSampleObject(listed);
    const struct {
        std::string typed;
        bool shown;
    } cases[] = {{listed, true}, {listed + "1", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.size());
        LoadDefaultSettings(nullptr);
        loadOptions.profileName.clear();
        int rows = -1;
        RunMainDialogObserved(
            "text 1004 \"" + c.typed + "\"\n",
            [&rows](ui::Window self, const ui::Message& message) {
                if (message.kind == ui::MessageKind::Command && message.id == IDC_FILE_BOX) {
                    rows = ui::ListRowCount(self, IDC_PROGRAM_INFO_LIST);
                }
            });
        EXPECT_EQ(rows > 0, c.shown) << rows;
    }
}

// The open serial port's device goes away in the middle of a download: the user is told the
// program will exit, and it does, as soon as the job has unwound.
TEST_F(VeximMainDialogTest, RemovingTheOpenPortsDeviceEndsTheProgram) {
    // The first block write gets no answer, so the unplugging below always lands mid-job.
    sim_ = std::make_unique<krtsim::KrtSim>(
        std::vector<std::string>{"--fault", "fc=66,sub=0x20,do=noreply"});
    ASSERT_TRUE(sim_->start(krtsim::Framing::Rtu)) << sim_->output();
    WriteSampleObject("big.vxo", 4000);
    LoadDefaultSettings(nullptr);
    linkSettings.connectMode = kConnectSerial;
    linkSettings.portName = sim_->devicePath();
    linkSettings.drop = 1;
    linkSettings.retries = 3;
    linkSettings.timeoutMs = 300;
    loadOptions.channel = 1;

    // The module vanishes once the transfer has begun.
    std::thread unplug([this] {
        for (int wait = 0; wait < 1000; ++wait) {
            for (const krtsim::LoggedRequest& request : sim_->requests()) {
                if (request.functionCode == 0x42 && request.field("sub") == 0x20) {
                    sim_->stop();
                    return;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    std::string script = "text 1004 \"big.vxo\"\ncommand 1053\n";
    for (int i = 0; i < 400; ++i) {
        script += "pump device remove\n";
    }
    const int result = RunMainDialogObserved(script, [](ui::Window, const ui::Message&) {});
    unplug.join();
    EXPECT_EQ(result, 0) << Transcript();
    const std::vector<std::string> boxes = TranscriptLines("msgbox");
    EXPECT_NE(
        std::find(boxes.begin(), boxes.end(),
                  MessageBoxLine("TV&Q VEXIM", "Serial Port Hardware Problem\nProgram will exit.")),
        boxes.end())
        << Transcript();
    EXPECT_EQ(TranscriptLines("end 102"), std::vector<std::string>{"end 102 0"}) << Transcript();
}

// A drop typed above 255 would go out as another unit byte (256 as 0, the broadcast address):
// the download is refused and nothing reaches the module.
TEST_F(VeximMainDialogTest, DropAboveTheUnitRangeIsRefused) {
    const uint16_t port = StartModule();
    ASSERT_NE(port, 0);
    WriteSampleObject("drop.vxo");
    LinkToModule(port);
    linkSettings.drop = 256;
    RunMainDialogObserved("text 1004 \"drop.vxo\"\ncommand 1053\n",
                          [](ui::Window, const ui::Message&) {});
    EXPECT_EQ(TranscriptLines("msgbox"),
              std::vector<std::string>{MessageBoxLine(
                  "VEXIM Error",
                  "Parameter out of range: 256\nThe Modbus drop must be a whole number from 0 "
                  "to 255.")})
        << Transcript();
    EXPECT_TRUE(TranscriptLines("open 104").empty());
    EXPECT_TRUE(sim_->requests().empty());
}
