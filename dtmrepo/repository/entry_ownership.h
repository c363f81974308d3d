#pragma once

// Which repository files an install may write. The repository folder holds other makers'
// profiles and the DAV's own index beside the entries this program installed; an install
// replaces only a file that is its own, and an entry whose description it archived is its own
// whatever the name.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dtmrepo/repository/index_lines.h"

namespace dtmrepo {

// The index, its temporary and restored copies, the backups and the lock file, letter case
// aside: names that no profile may take.
bool isRepositoryOwnName(std::string_view fileName);

// An entry of the maker's own modules (by its file name), or one whose description this
// program archived in `backupFolder`.
bool isOurEntry(const std::filesystem::path& backupFolder, std::string_view fileName);

// The text of an install refused before it wrote anything: `why`, after the entry's name.
std::string installRefusal(std::string_view entryFileName, std::string_view why);

// The refusal text for an install whose entry `entryFileName` (system code page) names a file
// of the repository itself or another maker's entry in `index`, or whose outputs beside the
// description (`outputs`) would land on such a file; nothing when the install may go on.
std::optional<std::string> checkInstallTargets(const std::string& unityPath,
                                               const std::string& entryFileName,
                                               const std::vector<std::filesystem::path>& outputs);

}  // namespace dtmrepo
