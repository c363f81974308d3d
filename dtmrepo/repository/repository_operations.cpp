#include "dtmrepo/repository/repository_operations.h"

#include <system_error>
#include <vector>

#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/repository/entry_ownership.h"
#include "dtmrepo/repository/index_lines.h"
#include "dtmrepo/repository/repository_paths.h"
#include "dtmrepo/text_files.h"
#include "platform/ansi_path.h"
#include "platform/file_lock.h"

namespace dtmrepo {

namespace fs = std::filesystem;

namespace {

RepositoryOutcome openFailed(int site, const fs::path& path, bool output, int fileNumber) {
    RepositoryOutcome outcome;
    outcome.result = RepositoryOutcome::Result::OpenFailed;
    outcome.openFailure = {site, displayPath(path), output, fileNumber};
    return outcome;
}

// Finishes a change: on a failure everything is put back, or, when that cannot finish, the
// failure says what was not and where `previousIndex` keeps the index as it was.
RepositoryOutcome settle(RepositoryChange& change, RepositoryOutcome outcome,
                         const fs::path& previousIndex = {}) {
    if (change.failed()) {
        change.rollBack(previousIndex);
        outcome.result = RepositoryOutcome::Result::ChangeFailed;
        outcome.failure = change.failure();
        outcome.indexReplaced = false;
    }
    return outcome;
}

// Two programs changing the repository at once would each write an index without the other's
// entry: the lock is held from reading the index until the backups are written. A lock file
// that cannot be made (no repository folder) leaves the failure to the index's own reading.
constexpr int kLockWaitMilliseconds = 5000;

// Staging files ("stg*.tmp") left by a run that was killed before its move; with the lock
// held no other run is writing one.
void sweepStagingFiles(const fs::path& folder) {
    std::error_code error;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = upperCase(platform::AnsiFromPath(it->path().filename()));
        if (name.rfind("STG", 0) == 0 && name.ends_with(".TMP") && it->is_regular_file(error)) {
            stale.push_back(it->path());
        }
    }
    for (const fs::path& file : stale) {
        fs::remove(file, error);
    }
}

std::unique_ptr<platform::FileLock> lockRepository(const RepositoryPaths& paths, bool& busy) {
    platform::FileLock::Result result = platform::FileLock::Result::Failed;
    auto lock = platform::FileLock::Acquire(platform::AnsiFromPath(paths.lockFile()),
                                            kLockWaitMilliseconds, result);
    busy = result == platform::FileLock::Result::Busy;
    if (lock) {
        sweepStagingFiles(paths.folder());
        sweepStagingFiles(paths.backupFolder());
    }
    return lock;
}

template <typename Outcome>
Outcome busyOutcome() {
    Outcome outcome;
    outcome.result = RepositoryOutcome::Result::Busy;
    return outcome;
}

}  // namespace

RepositoryOutcome installIntoRepository(const InstallRequest& request) {
    if (auto refusal = checkInstallTargets(request.unityPath, request.entryFileName, {})) {
        RepositoryOutcome outcome;
        outcome.result = RepositoryOutcome::Result::Refused;
        outcome.refusal = *refusal;
        return outcome;
    }
    const RepositoryPaths paths(request.unityPath);
    bool busy = false;
    const auto lock = lockRepository(paths, busy);
    if (busy) {
        return busyOutcome<RepositoryOutcome>();
    }
    const fs::path index = paths.index();
    const auto indexBytes = readFileBytes(index);
    const auto indexLines = readTextFileLines(index);
    if (!indexBytes || !indexLines || !fs::is_regular_file(index)) {
        return openFailed(22, index, false, 5);
    }
    // The index is UTF-8; the entry's file name is in the system's code page.
    const MergeResult merged =
        mergeEntry(*indexLines, request.entryLine, platform::Utf8FromAnsi(request.entryFileName));
    RepositoryOutcome outcome;
    outcome.matched = merged.matched;
    if (!merged.placed) {
        outcome.result = RepositoryOutcome::Result::NoPlace;
        return outcome;
    }
    RepositoryChange change;
    change.makeFolder(paths.backupFolder());
    change.writeFile(paths.backupBeforeChange(), *indexBytes, index);
    change.copyFile(request.description, paths.backupFolder() / request.description.filename());
    change.makeWritable(index);
    change.copyFile(request.indentedProfile, paths.profile(request.entryFileName));
    const std::string newIndex = textWithLineEnds(merged.lines);
    outcome.indexReplaced = change.writeFile(index, newIndex);
    change.writeFile(paths.backupAfterInstall(), newIndex, index);
    if (request.behaviourSource) {
        // The Logics folder belongs to the DTM installation: it is never made here.
        change.copyFile(*request.behaviourSource,
                        findIgnoringCase(paths.logicsFolder(), request.behaviourName));
    }
    return settle(change, outcome, paths.backupBeforeChange());
}

RepositoryOutcome removeFromRepository(const std::string& unityPath, const std::string& fileName) {
    const RepositoryPaths paths(unityPath);
    bool busy = false;
    const auto lock = lockRepository(paths, busy);
    if (busy) {
        return busyOutcome<RepositoryOutcome>();
    }
    const fs::path index = paths.index();
    const auto indexBytes = readFileBytes(index);
    const auto indexLines = readTextFileLines(index);
    if (!indexBytes || !indexLines || !fs::is_regular_file(index)) {
        return openFailed(6, index, false, 1);
    }
    const RemovalResult removal = removeEntry(*indexLines, platform::Utf8FromAnsi(fileName));
    RepositoryOutcome outcome;
    outcome.matched = removal.removed > 0;
    RepositoryChange change;
    change.makeFolder(paths.backupFolder());
    change.writeFile(paths.backupBeforeChange(), *indexBytes, index);
    // The profile is backed up from the repository folder, wherever the program runs.
    const fs::path profile = paths.profile(fileName);
    std::error_code error;
    if (fs::exists(profile, error)) {
        change.copyFile(profile, paths.backupFolder() / profile.filename());
    }
    change.makeWritable(index);
    if (outcome.matched) {
        const std::string newIndex = textWithLineEnds(removal.lines);
        outcome.indexReplaced = change.writeFile(index, newIndex);
        change.writeFile(paths.backupAfterInstall(), newIndex, index);
    } else if (const auto copy = readTextFileLines(paths.backupAfterInstall())) {
        // The index did not list it, but a restore must not bring it back from the copy.
        const RemovalResult fromCopy = removeEntry(*copy, platform::Utf8FromAnsi(fileName));
        if (fromCopy.removed > 0) {
            change.writeFile(paths.backupAfterInstall(), textWithLineEnds(fromCopy.lines));
        }
    }
    return settle(change, outcome, paths.backupBeforeChange());
}

RestoreOutcome restoreRepository(const std::string& unityPath) {
    const RepositoryPaths paths(unityPath);
    bool busy = false;
    const auto lock = lockRepository(paths, busy);
    if (busy) {
        return busyOutcome<RestoreOutcome>();
    }
    const fs::path index = paths.index();
    RestoreOutcome outcome;
    const auto installCopy = readTextFileLines(paths.backupAfterInstall());
    if (!installCopy || !fs::is_regular_file(paths.backupAfterInstall())) {
        static_cast<RepositoryOutcome&>(outcome) =
            openFailed(5, paths.backupAfterInstall(), false, 2);
        outcome.installCopyMissing = true;
        return outcome;
    }
    // A missing index gives no place for the entries: nothing is replaced.
    const auto indexBytes = readFileBytes(index);
    const auto indexLines = readTextFileLines(index);
    if (!indexBytes || !indexLines || !fs::is_regular_file(index)) {
        static_cast<RepositoryOutcome&>(outcome) = openFailed(3, index, false, 1);
        return outcome;
    }
    const RestoreResult restored = restoreFromCopy(*indexLines, *installCopy);
    outcome.keys = restored.keys;
    outcome.changed = restored.changed;
    outcome.indexEmpty = indexLines->empty();
    if (!restored.changed) {
        return outcome;
    }
    RepositoryChange change;
    change.makeWritable(index);
    const std::string result = textWithLineEnds(restored.lines);
    change.writeFile(paths.restoredIndex(), result);
    // The index the DTM upgrade wrote is kept: the restore must be undoable by hand.
    change.writeFile(paths.indexBeforeRestore(), *indexBytes, index);
    outcome.indexReplaced = change.writeFile(index, result, paths.restoredIndex());
    static_cast<RepositoryOutcome&>(outcome) = settle(change, outcome, paths.indexBeforeRestore());
    return outcome;
}

}  // namespace dtmrepo
