#pragma once

// The three changes Brondel makes to the repository: entering an installed profile, removing
// an entry, and restoring the entries after a DTM upgrade. Each one either completes or leaves
// the repository byte for byte as it was, and reports which.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

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

// Backs the index up, archives the description, copies the profile in (keeping a copy in the
// backup folder), copies the behaviour source into Logics (keeping a copy too), writes the
// install copy and, last, the index: a run stopped at any point leaves no index entry whose
// files are not in place. A behaviour source in Logics that is not the entry's own refuses it.
RepositoryOutcome installIntoRepository(const InstallRequest& request);

// Backs the index and the entry's profile up and removes the entry's lines from the install
// copy and then from the index, so that a restore does not bring it back, even after a run
// stopped between the two.
RepositoryOutcome removeFromRepository(const std::string& unityPath, const std::string& fileName);

struct RestoreOutcome : RepositoryOutcome {
    bool installCopyMissing = false;  // nothing was done
    size_t keys = 0;
    bool changed = false;     // the index was replaced
    bool indexEmpty = false;  // the index has no lines to add entries to
    // Entries of the install copy left out: their profile is neither in the repository nor
    // among this program's copies (their DDXMLFile values).
    std::vector<std::string> notRestored;
    size_t filesPutBack = 0;  // profiles and behaviour sources put back from the copies
};

// Adds to the index the entries of the copy taken after the last install that it lacks, keeping
// every line it has, when their profile is in the repository or can be put back from this
// program's copy (with its behaviour source, where a copy is kept); the replaced index is kept
// in the backup folder.
RestoreOutcome restoreRepository(const std::string& unityPath);

}  // namespace dtmrepo
