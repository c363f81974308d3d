#include "dtmrepo/repository/repository_operations.h"

#include <system_error>
#include <vector>

#include "dtmrepo/repository/behaviour_ownership.h"
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

// `alsoSweep`: a further folder the command writes, such as the description's.
std::unique_ptr<platform::FileLock> lockRepository(const RepositoryPaths& paths, bool& busy,
                                                   const fs::path& alsoSweep = {}) {
    platform::FileLock::Result result = platform::FileLock::Result::Failed;
    auto lock = platform::FileLock::Acquire(platform::AnsiFromPath(paths.lockFile()),
                                            kLockWaitMilliseconds, result);
    busy = result == platform::FileLock::Result::Busy;
    // With the lock held no other run is writing a staging file in the repository's folders.
    if (lock) {
        removeStagingFiles(paths.folder());
        removeStagingFiles(paths.backupFolder());
        removeStagingFiles(findIgnoringCase(paths.backupFolder(), "Logics"));
        removeStagingFiles(paths.logicsFolder());
        removeStagingFiles(alsoSweep);
    }
    return lock;
}

RepositoryOutcome refused(std::string refusal) {
    RepositoryOutcome outcome;
    outcome.result = RepositoryOutcome::Result::Refused;
    outcome.refusal = std::move(refusal);
    return outcome;
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
        return refused(*refusal);
    }
    const RepositoryPaths paths(request.unityPath);
    bool busy = false;
    const auto lock = lockRepository(paths, busy, request.description.parent_path());
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
    const std::string entryFile = platform::Utf8FromAnsi(request.entryFileName);
    const MergeResult merged = mergeEntry(*indexLines, request.entryLine, entryFile);
    RepositoryOutcome outcome;
    outcome.matched = merged.matched;
    if (!merged.placed) {
        outcome.result = RepositoryOutcome::Result::NoPlace;
        return outcome;
    }
    if (request.behaviourSource) {
        if (auto problem =
                behaviourSourceOwnerProblem(paths, *indexLines, entryFile, request.behaviourName)) {
            return refused(installRefusal(request.entryFileName, *problem));
        }
    }
    RepositoryChange change;
    change.makeFolder(paths.backupFolder());
    change.writeFile(paths.backupBeforeChange(), *indexBytes, index);
    change.copyFile(request.description, paths.backupFolder() / request.description.filename());
    change.makeWritable(index);
    change.copyFile(request.indentedProfile, paths.profile(request.entryFileName));
    // A restore after a DTM upgrade that removed the profile puts it back from this copy.
    change.copyFile(request.indentedProfile,
                    findIgnoringCase(paths.backupFolder(), request.entryFileName));
    if (request.behaviourSource) {
        // The Logics folder belongs to the DTM installation: it is never made here. The source
        // it held was checked to be the entry's own; the copy kept is the one installed now.
        change.copyFile(*request.behaviourSource,
                        findIgnoringCase(paths.logicsFolder(), request.behaviourName));
        change.makeFolder(findIgnoringCase(paths.backupFolder(), "Logics"));
        change.copyFile(*request.behaviourSource,
                        keptBehaviourSource(paths, request.behaviourName));
    }
    // Every file the new entry needs is in place before the index names it: the index is the
    // last file to move.
    const std::string newIndex = textWithLineEnds(merged.lines);
    change.writeFile(paths.backupAfterInstall(), newIndex, index);
    outcome.indexReplaced = change.writeFile(index, newIndex);
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
        // The install copy first: stopped between the two, the index still lists the entry and
        // a restore has nothing to bring back.
        const std::string newIndex = textWithLineEnds(removal.lines);
        change.writeFile(paths.backupAfterInstall(), newIndex, index);
        outcome.indexReplaced = change.writeFile(index, newIndex);
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
    // An entry comes back only with its profile: in the repository, or put back from the copy
    // an install of this program kept (with its behaviour source, where a copy of that is kept
    // and the Logics folder lacks it).
    std::vector<std::pair<fs::path, fs::path>> putBack;  // from, to
    const auto restorable = [&](const std::string& line) {
        const auto name = entryProfileName(line);
        const fs::path profile = paths.profile(*name);
        const fs::path kept = findIgnoringCase(paths.backupFolder(), *name);
        std::error_code error;
        const bool present = fs::is_regular_file(profile, error);
        const bool ours = isOurEntry(paths.backupFolder(),
                                     platform::AnsiFromUtf8(fileAttribute(line).value_or("")));
        if (!present && !(ours && fs::is_regular_file(kept, error))) {
            return false;
        }
        if (!present) {
            putBack.emplace_back(kept, profile);
        }
        const auto source = profileBehaviourSource(present ? profile : kept);
        if (source && ours && fs::is_directory(paths.logicsFolder(), error)) {
            const std::string sourceName = platform::AnsiFromUtf8(*source);
            const fs::path target = findIgnoringCase(paths.logicsFolder(), sourceName);
            const fs::path keptSource = keptBehaviourSource(paths, sourceName);
            if (!fs::exists(target, error) && fs::is_regular_file(keptSource, error)) {
                putBack.emplace_back(keptSource, target);
            }
        }
        return true;
    };
    const RestoreResult restored = restoreFromCopy(*indexLines, *installCopy, restorable);
    outcome.keys = restored.keys;
    outcome.changed = restored.changed;
    outcome.indexEmpty = indexLines->empty();
    outcome.notRestored = restored.notRestored;
    if (!restored.changed) {
        return outcome;
    }
    RepositoryChange change;
    change.makeWritable(index);
    for (const auto& [from, to] : putBack) {
        change.copyFile(from, to);
    }
    outcome.filesPutBack = putBack.size();
    const std::string result = textWithLineEnds(restored.lines);
    change.writeFile(paths.restoredIndex(), result);
    // The index the DTM upgrade wrote is kept: the restore must be undoable by hand.
    change.writeFile(paths.indexBeforeRestore(), *indexBytes, index);
    outcome.indexReplaced = change.writeFile(index, result, paths.restoredIndex());
    static_cast<RepositoryOutcome&>(outcome) = settle(change, outcome, paths.indexBeforeRestore());
    return outcome;
}

}  // namespace dtmrepo
