#pragma once

// Whose conditional-behaviour source a file in the Logics folder is. The DTM finds an entry's
// source by the URI its profile gives ("<ProductID>.cs"), so two entries that share a product
// identifier, or another maker's source of that name, meet in one file: an install replaces
// only a source that is its own entry's.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "dtmrepo/repository/index_lines.h"
#include "dtmrepo/repository/repository_paths.h"

namespace dtmrepo {

// The copy this program keeps of each source it installs: TVQbackup\Logics\<name>.
std::filesystem::path keptBehaviourSource(const RepositoryPaths& paths, std::string_view name);

// The URI of the source that `profile` names, or nothing when it names none (or is missing).
std::optional<std::string> profileBehaviourSource(const std::filesystem::path& profile);

// The profile file an index line's entry lives in (its Filename, else its DDXMLFile), in the
// system's code page.
std::optional<std::string> entryProfileName(std::string_view indexLine);

// The refusal reason when the install of `entryFileName` (UTF-8) may not write the source
// `sourceName` (system code page) into Logics: it exists and another entry of `index` names it,
// or this program did not write it (it matches none of its kept copies and the entry's own
// profile does not name it). Nothing when the file is missing or the entry's own.
std::optional<std::string> behaviourSourceOwnerProblem(const RepositoryPaths& paths,
                                                       const IndexLines& index,
                                                       std::string_view entryFileName,
                                                       std::string_view sourceName);

}  // namespace dtmrepo
