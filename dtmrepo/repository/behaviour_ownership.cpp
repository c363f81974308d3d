#include "dtmrepo/repository/behaviour_ownership.h"

#include <fstream>
#include <system_error>

#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/text_files.h"
#include "platform/ansi_path.h"
#include "toolshell/text_lines.h"

namespace dtmrepo {

namespace fs = std::filesystem;

fs::path keptBehaviourSource(const RepositoryPaths& paths, std::string_view name) {
    return findIgnoringCase(findIgnoringCase(paths.backupFolder(), "Logics"), name);
}

std::optional<std::string> profileBehaviourSource(const fs::path& profile) {
    std::ifstream in(profile, std::ios::binary);
    std::string line;
    // Streamed: only the line of the first behaviour is wanted, and profiles run long.
    while (in && toolshell::readTextLine(in, line)) {
        if (line.find("<conditionalBehavior ") == std::string::npos) {
            continue;
        }
        if (auto uri = attributeValue(line, "URI")) {
            return uri;
        }
    }
    return std::nullopt;
}

std::optional<std::string> entryProfileName(std::string_view indexLine) {
    const auto file = fileAttribute(indexLine);
    if (!file) {
        return std::nullopt;
    }
    const auto profile = attributeValue(indexLine, "Filename");
    return platform::AnsiFromUtf8(profile && !profile->empty() ? *profile : *file);
}

std::optional<std::string> behaviourSourceOwnerProblem(const RepositoryPaths& paths,
                                                       const IndexLines& index,
                                                       std::string_view entryFileName,
                                                       std::string_view sourceName) {
    const fs::path target = findIgnoringCase(paths.logicsFolder(), sourceName);
    std::error_code error;
    if (!fs::exists(target, error)) {
        return std::nullopt;
    }
    const std::string wanted = upperCase(platform::Utf8FromAnsi(sourceName));
    const std::string shown = "'" + displayPath(target) + "'";
    for (size_t i = 1; i < index.size(); ++i) {
        const auto owner = fileAttribute(index[i]);
        if (!owner || upperCase(*owner) == upperCase(entryFileName)) {
            continue;
        }
        const auto profile = entryProfileName(index[i]);
        const auto uri = profileBehaviourSource(paths.profile(*profile));
        if (uri && upperCase(*uri) == wanted) {
            return shown + " is the conditional-behaviour source of the entry " + *owner +
                   "; this install would replace it.";
        }
    }
    // Ours when it is what this program last installed under that name, or what the entry's own
    // profile names (installed before copies were kept).
    const auto kept = readFileBytes(keptBehaviourSource(paths, sourceName));
    const auto present = readFileBytes(target);
    if (kept && present && *kept == *present) {
        return std::nullopt;
    }
    const auto own = profileBehaviourSource(paths.profile(platform::AnsiFromUtf8(entryFileName)));
    if (own && upperCase(*own) == wanted) {
        return std::nullopt;
    }
    return shown +
           " was not written by this program for this entry: no entry it installed names it.";
}

}  // namespace dtmrepo
