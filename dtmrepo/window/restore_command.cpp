// File > Restore after DTM upgrade: the index is rebuilt from the copy taken after the last
// install, and the program ends.

#include "dtmrepo/repository/repository_operations.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/shown_text.h"

namespace dtmrepo {

namespace ui = platform::ui;

void restoreCommand(BrondelState& state) {
    const bool go = confirm("'OK' to RESTORE DDXMLRepository.XML and then EXIT", "Confirm Remove");
    state.reportText.clear();
    if (!go) {
        return;
    }
    const RestoreOutcome outcome = restoreRepository(state.UnityPath);
    if (outcome.installCopyMissing) {
        showOpenFailure(outcome.openFailure.site, outcome.openFailure.path,
                        outcome.openFailure.output, outcome.openFailure.fileNumber);
        return;
    }
    if (outcome.result == RepositoryOutcome::Result::ChangeFailed) {
        showChangeFailure(outcome.failure.errorNumber, outcome.failure.command);
        state.errorCount = 1;
        state.reportText = "Unable to " + outcome.failure.command + ": " + outcome.failure.reason +
                           ". The repository is as it was.";
        state.errorValue = 0;
        showOutcome(state, 11);
        return;
    }
    if (outcome.result == RepositoryOutcome::Result::OpenFailed) {
        showOpenFailure(outcome.openFailure.site, outcome.openFailure.path,
                        outcome.openFailure.output, outcome.openFailure.fileNumber);
    }
    state.trace.line(3, outcome.changed ? "   copied the restored index" : "   index unchanged");
    tell("Done");
    ui::PostClose(state.mainWindow);
}

}  // namespace dtmrepo
