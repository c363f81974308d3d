#pragma once

// The three changes Brondel makes to the repository: entering an installed profile, removing
// an entry, and restoring the entries after a DTM upgrade. Each one either completes or leaves
// the repository byte for byte as it was, and reports which.

#include <filesystem>
#include <optional>
#include <string>

#include "dtmrepo/open_failure_site.h"
#include "dtmrepo/repository/repository_change.h"

namespace dtmrepo {

struct RepositoryOutcome {
    enum class Result {
        Done,
        OpenFailed,    // `openFailure` names the file; nothing changed
        ChangeFailed,  // `failure` names the step; everything was put back
        NoPlace,       // the index has no line to put an entry above; nothing changed
        Refused,       // `refusal` says why; nothing changed
        Busy,          // another program held the repository for the whole wait; nothing changed
    };
    Result result = Result::Done;
    OpenFailure openFailure;
    ChangeFailure failure;
    std::string refusal;
    bool matched = false;  // install: the file had an entry; remove: lines were removed
    bool indexReplaced = false;
};

// What the user reads when another program held the repository too long.
inline constexpr const char* repositoryBusyText =
    "The repository is busy: another program is changing DDXMLRepository.XML. Nothing was "
    "changed; try again when it has finished.";

struct InstallRequest {
    std::string unityPath;
    std::filesystem::path description;
    std::filesystem::path indentedProfile;
    std::string entryFileName;  // the profile's name in the repository and the index
    std::string entryLine;
    // The conditional-behaviour source and the name it takes in the Logics folder.
    std::optional<std::filesystem::path> behaviourSource;
    std::string behaviourName;
};

// Backs the index up, archives the description, copies the profile in, merges the entry line
// into the index, backs the index up again and copies the behaviour source into Logics.
RepositoryOutcome installIntoRepository(const InstallRequest& request);

// Backs the index and the entry's profile up and removes the entry's lines from the index and
// from the install copy, so that a restore does not bring it back.
RepositoryOutcome removeFromRepository(const std::string& unityPath, const std::string& fileName);

struct RestoreOutcome : RepositoryOutcome {
    bool installCopyMissing = false;  // nothing was done
    size_t keys = 0;
    bool changed = false;     // the index was replaced
    bool indexEmpty = false;  // the index has no lines to add entries to
};

// Adds to the index the entries of the copy taken after the last install that it lacks, keeping
// every line it has; the replaced index is kept in the backup folder.
RestoreOutcome restoreRepository(const std::string& unityPath);

}  // namespace dtmrepo
