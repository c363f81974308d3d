#include "dtmrepo/repository/repository_paths.h"

#include <system_error>

#include "dtmrepo/parser/vocabulary.h"
#include "platform/ansi_path.h"

namespace dtmrepo {

namespace fs = std::filesystem;

RepositoryPaths::RepositoryPaths(std::string_view unityPath)
    : unity_(platform::PathFromAnsi(unityPath)) {}

fs::path RepositoryPaths::folder() const {
    return findIgnoringCase(unity_, "DDXMLRepository");
}

fs::path RepositoryPaths::index() const {
    return findIgnoringCase(folder(), "DDXMLRepository.XML");
}

fs::path RepositoryPaths::backupFolder() const {
    return findIgnoringCase(folder(), "TVQbackup");
}

fs::path RepositoryPaths::backupBeforeChange() const {
    return findIgnoringCase(backupFolder(), "DDXMLRepository_backup1.XML");
}

fs::path RepositoryPaths::backupAfterInstall() const {
    return findIgnoringCase(backupFolder(), "DDXMLRepository_backup2.XML");
}

fs::path RepositoryPaths::restoredIndex() const {
    return findIgnoringCase(backupFolder(), "RestoredDDXMLRepository.XML");
}

fs::path RepositoryPaths::indexBeforeRestore() const {
    return findIgnoringCase(backupFolder(), "DDXMLRepository_beforeRestore.XML");
}

fs::path RepositoryPaths::lockFile() const {
    return folder() / "DDXMLRepository.lock";
}

fs::path RepositoryPaths::logicsFolder() const {
    return findIgnoringCase(unity_, "Logics");
}

fs::path RepositoryPaths::profile(std::string_view fileName) const {
    return findIgnoringCase(folder(), fileName);
}

fs::path findIgnoringCase(const fs::path& folder, std::string_view name) {
    const fs::path exact = folder / platform::PathFromAnsi(name);
    std::error_code error;
    if (fs::exists(exact, error)) {
        return exact;
    }
    const std::string wanted = upperCase(name);
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (upperCase(platform::AnsiFromPath(it->path().filename())) == wanted) {
            return it->path();
        }
    }
    return exact;
}

std::string displayPath(const fs::path& path) {
    return platform::AnsiFromPath(path.lexically_normal());
}

}  // namespace dtmrepo
