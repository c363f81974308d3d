#include <gtest/gtest.h>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using namespace ui_fixture;
using ui::Message;
using ui::MessageKind;

// A download-like job: started by a one-shot timer, four steps with the pump between them,
// Cancel noticed through the pump, OK shown after success.
struct Job {
    bool cancelled = false;
    bool deviceRemoved = false;
    int steps = 0;

    ui::Procedure Procedure() {
        return [this](ui::Window self, const Message& m) {
            switch (m.kind) {
                case MessageKind::Init:
                    ui::SetTitle(self, "prog.vxo - Downloading File");
                    ui::ShowItem(self, ui::kIdOk, false);
                    ui::SetProgressRange(self, kProgressBar, 0, 100);
                    ui::SetTimer(self, 1, 10);
                    return true;
                case MessageKind::Timer:
                    ui::KillTimer(self, m.id);
                    Run(self);
                    return true;
                case MessageKind::Command:
                    if (m.id == ui::kIdCancel) {
                        cancelled = true;
                        ui::ShowStatus(self, kStatusLine, "Cancelling...");
                    } else if (m.id == ui::kIdOk) {
                        ui::EndDialog(self, 0);
                    }
                    return true;
                default:
                    return false;
            }
        };
    }

    void Run(ui::Window self) {
        for (int step = 1; step <= 4 && !cancelled; ++step) {
            steps = step;
            ui::ShowStatus(self, kStatusLine, "step " + std::to_string(step));
            ui::SetProgress(self, kProgressBar, step * 25);
            const ui::PumpResult pumped = ui::PumpMessages();
            if (pumped.deviceRemoved) {
                deviceRemoved = true;
                cancelled = true;
            }
        }
        if (cancelled) {
            ui::EndDialog(self, 0);
            return;
        }
        ui::ShowItem(self, ui::kIdCancel, false);
        ui::ShowItem(self, ui::kIdOk, true);
        ui::ShowStatus(self, kStatusLine, "100 words loaded successfully.");
    }
};

class UiDialogFlow : public ::testing::Test {
  protected:
    void SetUp() override { RegisterAll(); }
    std::vector<std::string> Run(const std::string& script, Job& job) {
        ui::headless::StartSession(script);
        result_ = ui::RunDialog(kJobDialog, nullptr, job.Procedure());
        return Lines(ui::headless::Transcript());
    }
    int result_ = 0;
};

TEST_F(UiDialogFlow, CancelReachesTheJobThroughThePump) {
    Job job;
    EXPECT_EQ(Run("pump\npump command 2\n", job),
              (std::vector<std::string>{"open 104 \"Job\"", "title \"prog.vxo - Downloading File\"",
                                        "status \"step 1\"", "progress 25", "status \"step 2\"",
                                        "progress 50", "status \"Cancelling...\"", "end 104 0"}));
    EXPECT_EQ(result_, 0);
    EXPECT_EQ(job.steps, 2);
}

TEST_F(UiDialogFlow, SuccessWaitsForOk) {
    Job job;
    // The pump takes only "pump" lines: the OK press waits until the dialog waits.
    const auto lines = Run("command 1\n", job);
    EXPECT_EQ(job.steps, 4);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "status \"100 words loaded successfully.\"");
    EXPECT_EQ(lines.back(), "end 104 0");
}

TEST_F(UiDialogFlow, PumpLinesOutOfTurnAreReportedAndSkipped) {
    Job job;
    const auto lines = Run("pump\npump\npump\npump\npump\ncommand 1\n", job);
    EXPECT_EQ(lines[lines.size() - 2], "error \"script line 5: nothing asks for this event now\"");
    EXPECT_EQ(lines.back(), "end 104 0");
}

TEST_F(UiDialogFlow, AHiddenButtonCannotBePressed) {
    Job job;
    // After success Cancel is hidden: pressing it is refused, OK ends the dialog.
    const auto lines = Run("command 2\ncommand 1\n", job);
    EXPECT_FALSE(job.cancelled);
    EXPECT_EQ(lines[lines.size() - 2], "error \"script line 1: control 2 is hidden or disabled\"");
    EXPECT_EQ(lines.back(), "end 104 0");
}

TEST_F(UiDialogFlow, ARunWithoutScriptNeverWaitsForever) {
    // Success, then nobody answers: the close box turns into Cancel, which this dialog only
    // acknowledges, so the wait is ended by force.
    Job job;
    const auto lines = Run("", job);
    EXPECT_TRUE(job.cancelled);
    EXPECT_EQ(lines[lines.size() - 2], "status \"Cancelling...\"");
    EXPECT_EQ(lines.back(), "end 104 2 forced");
    EXPECT_EQ(result_, ui::kIdCancel);
}

TEST_F(UiDialogFlow, DeviceRemovalIsSeenByThePump) {
    Job job;
    Run("pump device remove\n", job);
    EXPECT_TRUE(job.deviceRemoved);
    EXPECT_EQ(job.steps, 1);
}

TEST_F(UiDialogFlow, AnswersOutOfTurnAreReportedAndSkipped) {
    Job job;
    const auto lines = Run("answer Yes\ncommand 1\n", job);
    EXPECT_EQ(lines[lines.size() - 2], "error \"script line 1: nothing asks for this event now\"");
    EXPECT_EQ(lines.back(), "end 104 0");
}

TEST_F(UiDialogFlow, AMissingDialogCannotRun) {
    ui::headless::StartSession("");
    EXPECT_EQ(ui::RunDialog(999, nullptr, [](ui::Window, const Message&) { return false; }), -1);
    EXPECT_EQ(ui::headless::Transcript(), "error \"no dialog 999\"\n");
}

// What the main dialog saw, kept because its controls go with it when it ends.
struct MainSeen {
    std::vector<int> tabs;
    std::vector<std::string> typed;
    std::vector<std::string> selected;
    bool ascii = false, bits7 = false, bits8 = false, autoStartChecked = false;
    uint32_t address = 0;
    int initMenus = 0;
    std::vector<std::string> recent;
    int jobResult = -5;
    int userMessages = 0;
    intptr_t userParam = 0;
};

ui::Procedure MainProcedure(MainSeen& seen, Job& job) {
    return [&seen, &job](ui::Window self, const Message& m) {
        switch (m.kind) {
            case MessageKind::Init:
                for (const char* tab :
                     {"Modbus Serial", "Modbus TCP", "Program Info", "Module Info"}) {
                    ui::AddTab(self, kTabs, tab);
                }
                ui::AddItem(self, kFileBox, "recent.vxo");
                ui::AppendSystemMenuItem(self, 107, "About");
                ui::SetCheck(self, kBits7, true);
                ui::PostUserMessage(self, ui::kUserMessage + 100, 0, 42);
                return true;
            case MessageKind::TabChanged:
                seen.tabs.push_back(ui::SelectedTab(self, m.id));
                return true;
            case MessageKind::InitMenu:
                ++seen.initMenus;
                ui::DeleteMenuItem(self, 20000);
                ui::InsertMenuItemBefore(self, kAnchorCommand, 20000, "recent.vxo");
                return true;
            case MessageKind::SystemCommand:
                ui::ShowMessageBox(self, "VEXIM File Download Tool", "About VEXIM");
                return true;
            case MessageKind::User:
                ++seen.userMessages;
                seen.userParam = m.lParam;
                return m.message == ui::kUserMessage + 100;
            case MessageKind::Command:
                if (m.id == kFileBox && m.code == ui::kComboEditChanged) {
                    seen.typed.push_back(ui::GetItemText(self, kFileBox));
                } else if (m.id == kFileBox && m.code == ui::kSelectionChanged) {
                    seen.selected.push_back(
                        ui::ItemText(self, kFileBox, ui::SelectedItem(self, kFileBox)));
                } else if (m.id == kAutoStartCommand) {
                    ui::CheckMenuItem(self, kAutoStartCommand,
                                      !ui::IsMenuItemChecked(self, kAutoStartCommand));
                } else if (m.id == kStart) {
                    seen.jobResult = ui::RunDialog(kJobDialog, self, job.Procedure());
                } else if (m.id == kExitCommand || m.id == ui::kIdCancel) {
                    seen.ascii = ui::IsChecked(self, kAscii);
                    seen.bits7 = ui::IsChecked(self, kBits7);
                    seen.bits8 = ui::IsChecked(self, kBits8);
                    seen.autoStartChecked = ui::IsMenuItemChecked(self, kAutoStartCommand);
                    seen.address = ui::GetIpAddress(self, kAddress);
                    seen.recent.push_back(ui::MenuItemText(self, 20000).value_or("(none)"));
                    ui::EndDialog(self, 16);
                }
                return true;
            default:
                return false;
        }
    };
}

TEST_F(UiDialogFlow, ControlChangesReachTheDialogAsTheUserMakesThem) {
    MainSeen seen;
    Job job;
    ui::headless::StartSession(
        "tab 1012 2\n"
        "text 1004 \"prog\"\n"
        "select 1004 0\n"
        "check 1015 1\n"
        "check 1031 1\n"
        "menu 40010\n"
        "menu 40010\n"
        "menu 40010\n"
        "syscommand 107\n"
        "answer OK\n"
        "ip 1054 10.0.0.5\n"
        "menu 40005\n");
    EXPECT_EQ(ui::RunDialog(kMainDialog, nullptr, MainProcedure(seen, job)), 16);
    EXPECT_EQ(seen.tabs, std::vector<int>{2});
    EXPECT_EQ(seen.typed, std::vector<std::string>{"prog"});
    EXPECT_EQ(seen.selected, std::vector<std::string>{"recent.vxo"});
    EXPECT_TRUE(seen.ascii);
    EXPECT_FALSE(seen.bits7);  // the radio buttons of a group exclude each other
    EXPECT_TRUE(seen.bits8);
    EXPECT_TRUE(seen.autoStartChecked);  // toggled three times
    EXPECT_EQ(seen.address, 0x0A000005u);
    EXPECT_EQ(seen.initMenus, 4);
    EXPECT_EQ(seen.recent, std::vector<std::string>{"recent.vxo"});
    EXPECT_EQ(seen.userMessages, 1);
    EXPECT_EQ(seen.userParam, 42);
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{"open 102 \"Main \\\"quoted\\\"\"",
                                        "msgbox \"About VEXIM\" \"VEXIM File Download Tool\" over "
                                        "\"Main \\\"quoted\\\"\" -> OK",
                                        "end 102 16"}));
}

TEST_F(UiDialogFlow, EventsGoToTheInnermostDialog) {
    MainSeen seen;
    Job job;
    ui::headless::StartSession("command 1053\ncommand 1\nclose\n");
    EXPECT_EQ(ui::RunDialog(kMainDialog, nullptr, MainProcedure(seen, job)), 16);
    EXPECT_EQ(seen.jobResult, 0);
    const auto lines = Lines(ui::headless::Transcript());
    EXPECT_EQ(lines[1], "open 104 \"Job\"");
    EXPECT_EQ(lines[lines.size() - 2], "end 104 0");
    EXPECT_EQ(lines.back(), "end 102 16");
}

TEST_F(UiDialogFlow, TheDialogOnTopIsActive) {
    std::vector<std::string> seen;
    auto job = [&seen](std::string name, bool endInInit) {
        return [&seen, name, endInInit](ui::Window self, const Message& m) {
            if (m.kind == MessageKind::Activate) {
                seen.push_back(name + (m.code != 0 ? " active" : " inactive"));
            } else if (m.kind == MessageKind::Init && endInInit) {
                ui::EndDialog(self, 5);  // ended before it shows
            } else if (m.kind == MessageKind::Command) {
                ui::EndDialog(self, 0);
            }
            return m.kind != MessageKind::Close;
        };
    };
    constexpr int kHiddenJob = 4242;  // an accelerator: no control
    auto main = [&](ui::Window self, const Message& m) {
        if (m.kind == MessageKind::Activate) {
            seen.push_back(m.code != 0 ? "main active" : "main inactive");
        } else if (m.kind == MessageKind::Init) {
            // A dialog run from Init (an unattended start) opens before its owner shows.
            ui::RunDialog(kJobDialog, self, job("first job", false));
        } else if (m.kind == MessageKind::Command && m.id == kStart) {
            ui::RunDialog(kJobDialog, self, job("second job", false));
        } else if (m.kind == MessageKind::Command && m.id == kHiddenJob) {
            ui::RunDialog(kJobDialog, self, job("hidden job", true));
            seen.push_back("after hidden job");
        } else if (m.kind == MessageKind::Command && m.id == ui::kIdCancel) {
            ui::EndDialog(self, 16);
        }
        return m.kind != MessageKind::Close;
    };
    ui::headless::StartSession("command 1\ncommand 1053\ncommand 1\ncommand 4242\nclose\n");
    EXPECT_EQ(ui::RunDialog(kMainDialog, nullptr, main), 16);
    EXPECT_EQ(seen,
              (std::vector<std::string>{"first job active", "main active", "main inactive",
                                        "second job active", "main active", "after hidden job"}));
}

TEST_F(UiDialogFlow, RefusesEventsThatNoUserCouldCause) {
    MainSeen seen;
    Job job;
    ui::headless::StartSession(
        "menu 49999\n"
        "text 1015 \"x\"\n"
        "select 1004 5\n"
        "tab 1012 4\n"
        "check 1030 0\n"
        "syscommand 108\n"
        "close\n");
    EXPECT_EQ(ui::RunDialog(kMainDialog, nullptr, MainProcedure(seen, job)), 16);
    EXPECT_EQ(seen.initMenus, 0);
    EXPECT_TRUE(seen.typed.empty());
    EXPECT_TRUE(seen.selected.empty());
    EXPECT_TRUE(seen.tabs.empty());
    EXPECT_TRUE(seen.bits7);
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{
                  "open 102 \"Main \\\"quoted\\\"\"", "error \"script line 1: no menu item 49999\"",
                  "error \"script line 2: control 1015 cannot take this event\"",
                  "error \"script line 3: no item 5\"", "error \"script line 4: no tab 4\"",
                  "error \"script line 5: a radio button is cleared by choosing another\"",
                  "error \"script line 6: no system menu item 108\"", "end 102 16"}));
}

TEST_F(UiDialogFlow, TheCloseBoxIsCancelWhenTheScriptRunsOut) {
    MainSeen seen;
    Job job;
    ui::headless::StartSession("");
    EXPECT_EQ(ui::RunDialog(kMainDialog, nullptr, MainProcedure(seen, job)), 16);
    EXPECT_EQ(ui::headless::Transcript(), "open 102 \"Main \\\"quoted\\\"\"\nend 102 16\n");
}

TEST_F(UiDialogFlow, ControlsKeepWhatTheProgramSets) {
    ui::headless::StartSession("close\n");
    std::vector<std::string> seen;
    ui::RunDialog(kMainDialog, nullptr, [&seen](ui::Window self, const Message& m) {
        if (m.kind == MessageKind::Init) {
            for (const char* port : {"COM1:", "COM3:", "COM10:"}) {
                ui::AddItem(self, kFileBox, port, 7);
            }
            seen.push_back(std::to_string(ui::SelectItemByPrefix(self, kFileBox, "COM1")));
            seen.push_back(ui::GetItemText(self, kFileBox));
            seen.push_back(std::to_string(ui::SelectItemByPrefix(self, kFileBox, "COM2")));
            seen.push_back(std::to_string(ui::ItemData(self, kFileBox, 2)));
            ui::AddListColumn(self, kInfoList, "Header", 100);
            ui::AddListRow(self, kInfoList, {"Block Type", "Code \"x\""});
            seen.push_back(ui::ListCell(self, kInfoList, 0, 1));
            ui::SetItemText(self, kHost, "10.0.0.5");
            seen.push_back(ui::GetItemText(self, kHost));
            ui::ShowItem(self, kHost, false);
            seen.push_back(ui::IsItemVisible(self, kHost) ? "shown" : "hidden");
            ui::SetItemText(self, 4711, "nowhere");
        }
        if (m.kind == MessageKind::Command && m.id == kHost && m.code == ui::kEditChanged) {
            // As on Windows, an edit field reports the program's own changes too.
            seen.push_back("changed " + ui::GetItemText(self, kHost));
        }
        if (m.kind == MessageKind::Command && m.id == ui::kIdCancel) {
            ui::EndDialog(self, 16);
        }
        return m.kind == MessageKind::Init || m.kind == MessageKind::Command;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"0", "COM1:", "-1", "7", "Code \"x\"",
                                              "changed 10.0.0.5", "10.0.0.5", "hidden"}));
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{"open 102 \"Main \\\"quoted\\\"\"",
                                        "list 1009 \"Block Type\" \"Code \\\"x\\\"\"",
                                        "error \"no control 4711 in dialog 102\"", "end 102 16"}));
}

}  // namespace
