// File > Restore after DTM upgrade: the entries of the copy taken after the last install that
// the index lacks are added to it, those whose profile is gone named instead, and the program
// ends.

#include "dtmrepo/repository/repository_operations.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/shown_text.h"

namespace dtmrepo {

namespace ui = platform::ui;

void restoreCommand(BrondelState& state) {
    const bool go = confirm(state.mainWindow, "'OK' to RESTORE DDXMLRepository.XML and then EXIT",
                            "Confirm Remove");
    state.reportText.clear();
    if (!go) {
        return;
    }
    const RestoreOutcome outcome = restoreRepository(state.UnityPath);
    if (outcome.installCopyMissing) {
        showOpenFailure(state.mainWindow, outcome.openFailure.site, outcome.openFailure.path,
                        outcome.openFailure.output, outcome.openFailure.fileNumber);
        return;
    }
    if (outcome.result == RepositoryOutcome::Result::Busy) {
        state.errorCount = 1;
        state.reportText = repositoryBusyText;
        state.errorValue = 0;
        showOutcome(state, 11);
        return;
    }
    if (outcome.result == RepositoryOutcome::Result::ChangeFailed) {
        showChangeFailure(state.mainWindow, outcome.failure.errorNumber, outcome.failure.command);
        state.errorCount = 1;
        state.reportText = changeFailureText(outcome.failure);
        state.errorValue = 0;
        showOutcome(state, 11);
        return;
    }
    if (outcome.result == RepositoryOutcome::Result::OpenFailed) {
        showOpenFailure(state.mainWindow, outcome.openFailure.site, outcome.openFailure.path,
                        outcome.openFailure.output, outcome.openFailure.fileNumber);
        tell(state.mainWindow, "Nothing was restored: the repository index cannot be read.");
    } else if (outcome.indexEmpty) {
        tell(state.mainWindow,
             "Nothing was restored: DDXMLRepository.XML holds no lines to add the entries to.");
    } else if (!outcome.notRestored.empty()) {
        // An index line whose profile is gone would list an entry the DTM cannot load.
        std::string text = outcome.changed
                               ? "The other entries of the install copy were restored, but not "
                                 "these:"
                               : "Nothing was restored. These entries of the install copy are "
                                 "missing from DDXMLRepository.XML:";
        for (const std::string& file : outcome.notRestored) {
            text += "\r\n   " + file;
        }
        text +=
            "\r\nTheir profile is neither in the repository nor among the copies this program "
            "keeps in TVQbackup.";
        if (outcome.changed) {
            state.trace.line(3, "   copied the restored index");
        }
        tell(state.mainWindow, text, ui::Icon::Warning);
    } else if (!outcome.changed) {
        tell(state.mainWindow,
             "Nothing was restored: every entry of the install copy is in DDXMLRepository.XML.");
    } else {
        state.trace.line(3, "   copied the restored index");
        tell(state.mainWindow, "Done");
    }
    ui::PostClose(state.mainWindow);
}

}  // namespace dtmrepo
