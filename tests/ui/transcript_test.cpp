#include <gtest/gtest.h>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "tests/ui/ui_fixture.h"

namespace {

namespace ui = platform::ui;
using namespace ui_fixture;

// The acts a test reads back: one line each, in the order they happen.
TEST(UiTranscript, RecordsEachObservableAct) {
    RegisterAll();
    ui::headless::StartSession("command 1\n");
    ui::ShowHelp("vexim.chm");
    const int result =
        ui::RunDialog(kJobDialog, nullptr, [](ui::Window self, const ui::Message& m) {
            if (m.kind == ui::MessageKind::Init) {
                ui::SetTitle(self, "prog - Downloading File");
                ui::SetProgressRange(self, kProgressBar, 0, 100);
                ui::SetProgress(self, kProgressBar, 40);
                ui::SetProgress(self, kProgressBar, 250);  // a bar stays inside its range
                ui::SetProgress(self, kProgressBar, -3);
                ui::SetProgressRange(self, kProgressBar, 1, 10);
                ui::SetProgress(self, kProgressBar, 0);
                ui::ShowStatus(self, kStatusLine, "Connecting via COM1:\tdrop 1");
                ui::SetItemText(self, 1033, "Downloading prog\r\nCOM1: drop 1");  // not an act
            }
            if (m.kind == ui::MessageKind::Command && m.id == ui::kIdOk) {
                ui::EndDialog(self, 0);
            }
            return true;
        });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ui::RecordExit(16), 16);
    EXPECT_EQ(Lines(ui::headless::Transcript()),
              (std::vector<std::string>{
                  "help \"vexim.chm\"", "open 104 \"Job\"", "title \"prog - Downloading File\"",
                  "progress 40", "progress 100", "progress 0", "progress 1",
                  "status \"Connecting via COM1:\\tdrop 1\"", "end 104 0", "exit 16"}));
}

}  // namespace
