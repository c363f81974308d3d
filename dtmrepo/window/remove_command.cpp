// File > Remove from Repository: the entry selected in the tree leaves the index, after the
// index and the entry's profile are backed up.

#include "dtmrepo/repository/entry_ownership.h"
#include "dtmrepo/repository/repository_operations.h"
#include "dtmrepo/repository/repository_paths.h"
#include "dtmrepo/window/brondel_messages.h"
#include "dtmrepo/window/commands.h"
#include "dtmrepo/window/repository_tree_view.h"
#include "dtmrepo/window/shown_text.h"

namespace dtmrepo {

void removeCommand(BrondelState& state) {
    state.currentFile.clear();
    const TreeRecord* selected = selectedEntryRecord(state);
    if (selected != nullptr) {
        state.currentFile = selected->entryKey + ".XML";
    }
    if (state.currentFile.empty()) {
        state.reportText = "Please select a filename from the tree to Remove.";
        state.errorValue = 0;
        showOutcome(state, 11);
        return;
    }
    const std::string key = selected->entryKey;
    // Other makers' entries stay protected; one this program installed, whatever its name, is
    // its own to remove.
    if (!isOurEntry(RepositoryPaths(state.UnityPath).backupFolder(), state.currentFile)) {
        state.reportText = "Removal of " + state.currentFile +
                           " Canceled.\r\n\r\nThis program may only remove 'PME KRT', 'PME DWL' "
                           "or 'PME HVN' entries.";
        state.errorValue = 0;
        showOutcome(state, 11);
        return;
    }
    if (state.currentFile == ".XML") {
        state.currentFile = "\"" + state.currentFile + "\"";
    }
    if (!confirm(state.mainWindow, "'OK' to Remove " + state.currentFile, "Confirm Remove")) {
        state.reportText = "Removal of " + state.currentFile + " Canceled.";
        state.errorValue = 2;
        showOutcome(state, 11);
        return;
    }
    state.trace.line(1, "   TV&Q's PME DTM Remover     ");
    const RepositoryOutcome outcome = removeFromRepository(state.UnityPath, key + ".XML");
    switch (outcome.result) {
        case RepositoryOutcome::Result::OpenFailed:
            showOpenFailure(state.mainWindow, outcome.openFailure.site, outcome.openFailure.path,
                            outcome.openFailure.output, outcome.openFailure.fileNumber);
            return;
        case RepositoryOutcome::Result::ChangeFailed:
            showChangeFailure(state.mainWindow, outcome.failure.errorNumber,
                              outcome.failure.command);
            state.errorCount = 1;
            state.reportText = changeFailureText(outcome.failure);
            state.errorValue = 0;
            showOutcome(state, 11);
            return;
        case RepositoryOutcome::Result::Busy:
            state.errorCount = 1;
            state.reportText = repositoryBusyText;
            state.errorValue = 0;
            showOutcome(state, 11);
            return;
        case RepositoryOutcome::Result::NoPlace:
        case RepositoryOutcome::Result::Refused:
        case RepositoryOutcome::Result::Done:
            break;
    }
    state.errorCount = 0;
    state.entryStatus = outcome.matched ? 1 : 2;
    state.trace.line(1, outcome.matched ? " Finished!" : "No Match, Ignored.");
    deleteEntryItems(state, key);
    showOutcome(state, 10);
}

}  // namespace dtmrepo
