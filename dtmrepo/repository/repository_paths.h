#pragma once

// The files and folders of the DDXML repository below the UnityPath setting, the root folder
// of the DOV Uverare DAV installation.

#include <filesystem>
#include <string>
#include <string_view>

namespace dtmrepo {

class RepositoryPaths {
  public:
    // `unityPath` as the setting holds it (a closing separator or none).
    explicit RepositoryPaths(std::string_view unityPath);

    std::filesystem::path folder() const;        // DDXMLRepository
    std::filesystem::path index() const;         // DDXMLRepository\DDXMLRepository.XML
    std::filesystem::path backupFolder() const;  // DDXMLRepository\TVQbackup
    std::filesystem::path backupBeforeChange() const;
    std::filesystem::path backupAfterInstall() const;
    std::filesystem::path restoredIndex() const;
    std::filesystem::path indexBeforeRestore() const;  // the index a restore replaced
    std::filesystem::path lockFile() const;            // DDXMLRepository\DDXMLRepository.lock
    std::filesystem::path logicsFolder() const;        // Logics, beside the repository
    // A file of the repository folder, such as a profile named by the index.
    std::filesystem::path profile(std::string_view fileName) const;

  private:
    std::filesystem::path unity_;
};

// `folder` / `name`, or the entry of `folder` whose name differs from `name` only in letter
// case when there is no exact one: the DAV writes its index as "DDXMLRepository.XML" and others
// have written ".xml", and a case-sensitive file system must find it either way.
std::filesystem::path findIgnoringCase(const std::filesystem::path& folder, std::string_view name);

// A path as the messages show it.
std::string displayPath(const std::filesystem::path& path);

}  // namespace dtmrepo
