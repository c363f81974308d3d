// A small dialog program run the way the real programs run: its script and transcript are
// named by the environment. It opens the fixture's main dialog; Start runs the job dialog,
// which asks a question and reports the answer in its status line.

#include <string>

#include "platform/ui.h"
#include "tests/ui/ui_fixture.h"

namespace ui = platform::ui;
using namespace ui_fixture;

namespace {

bool JobProcedure(ui::Window self, const ui::Message& m) {
    if (m.kind == ui::MessageKind::Init) {
        ui::SetTimer(self, 1, 10);
        return true;
    }
    if (m.kind == ui::MessageKind::Timer) {
        ui::KillTimer(self, 1);
        const ui::Answer answer = ui::ShowMessageBox(self, "Continue?", "File loader",
                                                     ui::Buttons::YesNo, ui::Icon::Question);
        ui::ShowStatus(self, kStatusLine, answer == ui::Answer::Yes ? "going on" : "stopped");
        ui::SetProgress(self, kProgressBar, 100);
        ui::EndDialog(self, 0);
        return true;
    }
    return false;
}

bool MainProcedure(ui::Window self, const ui::Message& m) {
    if (m.kind != ui::MessageKind::Command) {
        return false;
    }
    if (m.id == kStart) {
        ui::RunDialog(kJobDialog, self, JobProcedure);
    } else if (m.id == kExitCommand) {
        ui::EndDialog(self, 3);
    } else if (m.id == ui::kIdCancel) {
        ui::EndDialog(self, 16);
    }
    return true;
}

}  // namespace

int main() {
    RegisterAll();
    const int result = ui::RunDialog(kMainDialog, nullptr, MainProcedure);
    if (result == 3) {
        ui::ExitProgram(3);
    }
    return ui::RecordExit(result);
}
