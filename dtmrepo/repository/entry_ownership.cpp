#include "dtmrepo/repository/entry_ownership.h"

#include <array>
#include <system_error>

#include "dtmrepo/parser/vocabulary.h"
#include "dtmrepo/repository/repository_paths.h"
#include "dtmrepo/text_files.h"
#include "platform/ansi_path.h"

namespace dtmrepo {

namespace fs = std::filesystem;

bool isRepositoryOwnName(std::string_view fileName) {
    constexpr std::array<std::string_view, 7> kOwn = {
        "DDXMLREPOSITORY.XML",         "TDDXMLREPOSITORY.XML",
        "DDXMLREPOSITORY_BACKUP1.XML", "DDXMLREPOSITORY_BACKUP2.XML",
        "RESTOREDDDXMLREPOSITORY.XML", "DDXMLREPOSITORY_BEFORERESTORE.XML",
        "DDXMLREPOSITORY.LOCK"};
    const std::string upper = upperCase(fileName);
    for (std::string_view own : kOwn) {
        if (upper == own) {
            return true;
        }
    }
    return false;
}

namespace {

bool isMakersModuleName(std::string_view fileName) {
    constexpr std::array<std::string_view, 4> kModules = {"PME KRT", "PME HVN", "PME DWL",
                                                          "PME TVQ"};
    for (std::string_view module : kModules) {
        if (fileName.find(module) != std::string_view::npos) {
            return true;
        }
    }
    return fileName == ".XML";
}

// The archived description has the entry's root and its own extension (".txt" as a rule).
bool descriptionArchived(const fs::path& backupFolder, std::string_view fileName) {
    if (fileName.size() <= 4) {
        return false;
    }
    const std::string root = upperCase(fileName.substr(0, fileName.size() - 4));
    std::error_code error;
    for (fs::directory_iterator it(backupFolder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = platform::AnsiFromPath(it->path().filename());
        const size_t point = name.rfind('.');
        if (point == std::string::npos || upperCase(name.substr(point)) == ".XML") {
            continue;
        }
        if (upperCase(name.substr(0, point)) == root && it->is_regular_file(error)) {
            return true;
        }
    }
    return false;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code error;
    return fs::equivalent(a, b, error) && !error;
}

std::string refusal(std::string_view name, std::string_view why) {
    return installRefusal(name, why);
}

}  // namespace

std::string installRefusal(std::string_view entryFileName, std::string_view why) {
    return "Installation of " + std::string(entryFileName) + " Canceled.\r\n\r\n" +
           std::string(why) + " Nothing was written.";
}

bool isOurEntry(const fs::path& backupFolder, std::string_view fileName) {
    return isMakersModuleName(fileName) || descriptionArchived(backupFolder, fileName);
}

std::optional<std::string> checkInstallTargets(const std::string& unityPath,
                                               const std::string& entryFileName,
                                               const std::vector<fs::path>& outputs) {
    const RepositoryPaths paths(unityPath);
    const std::string what = "'" + entryFileName + "'";
    if (isRepositoryOwnName(entryFileName)) {
        return refusal(entryFileName,
                       what + " is a file of the repository itself and cannot name a profile.");
    }
    const auto index = readTextFileLines(paths.index());
    const auto anotherMakers = [&](const std::string& ansiName) {
        if (!index || isOurEntry(paths.backupFolder(), ansiName)) {
            return false;
        }
        const std::string name = platform::Utf8FromAnsi(ansiName);
        for (const std::string& line : *index) {
            if (namesFile(line, name)) {
                return true;
            }
        }
        return false;
    };
    if (anotherMakers(entryFileName)) {
        return refusal(entryFileName, what +
                                          " is another maker's entry in the repository; this "
                                          "program replaces only the entries it installed.");
    }
    // Beside a description kept in the repository or its backup folder, the files the install
    // writes there must not take the place of the index, a backup or another maker's profile.
    for (const fs::path& output : outputs) {
        const fs::path folder = output.parent_path().empty() ? fs::path(".") : output.parent_path();
        const bool inRepository = sameFolder(folder, paths.folder());
        if (!inRepository && !sameFolder(folder, paths.backupFolder())) {
            continue;
        }
        const std::string name = platform::AnsiFromPath(output.filename());
        if (isRepositoryOwnName(name) || (inRepository && anotherMakers(name))) {
            return refusal(entryFileName, "The install would write '" + displayPath(output) +
                                              "', a file of the repository that is not its own.");
        }
    }
    return std::nullopt;
}

}  // namespace dtmrepo
