// File > Install new .txt: intake, parser, and the outcome.

#include "dtmrepo/intake/install_intake.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/shown_text.h"
#include "toolshell/open_file_dialog.h"

namespace dtmrepo {

namespace ui = platform::ui;

void installCommand(BrondelState& state) {
    state.currentFile.clear();
    state.currentFile = toolshell::openFileDialog(
        state.mainWindow, {{"Text Files, (*.TXT)", "*.TXT"}, {"All Files, (*.*)", "*.*"}},
        "Install new .txt");
    ui::Invalidate(state.mainWindow);
    if (state.currentFile.empty()) {
        return;
    }
    state.reportText.clear();
    IntakeOutcome outcome =
        runInstallIntake(state.currentFile, {state.revisionDate, currentTimeStamp()}, state.trace);
    switch (outcome.result) {
        case IntakeOutcome::Result::Refused:
            state.reportText = outcome.refusal;
            state.errorCount = 1;
            state.errorValue = 5;
            showOutcome(state, 11);
            return;
        case IntakeOutcome::Result::OpenFailed:
            state.errorCount = 1;
            showOpenFailure(outcome.openFailure.site, outcome.openFailure.path,
                            outcome.openFailure.output, outcome.openFailure.fileNumber);
            return;
        case IntakeOutcome::Result::Stopped:
            state.reportText = outcome.report.text;
            state.errorCount = outcome.report.errorCount;
            state.warningCount = outcome.report.warningCount;
            state.errorValue = 5;
            showOutcome(state, 4);
            return;
        case IntakeOutcome::Result::Parsed:
            break;
    }
    state.reportText = outcome.report.text;
    state.errorCount = outcome.report.errorCount;
    state.warningCount = outcome.report.warningCount;
    showOutcome(state, 1);
}

void removeCommand(BrondelState&) {}

void restoreCommand(BrondelState&) {}

void rebuildCommand(BrondelState&) {}

}  // namespace dtmrepo
