#pragma once

// A test's scratch folder holding a DAV installation (the repository and Logics) and a folder
// of description files, with the names of its repository files.

#include <filesystem>
#include <string>

#include "tests/dtmrepo/brondel_fixture.h"
#include "tests/dtmrepo/description_fixture.h"

namespace dtmrepo_test {

struct Workspace {
    std::string root, unity, sources;
    explicit Workspace(const std::string& name) : root(freshFolder(name)) {
        unity = (std::filesystem::path(root) / "unity").string();
        sources = (std::filesystem::path(root) / "sources").string();
        std::filesystem::create_directories(sources);
        makeRepository(unity);
    }
    std::string repository(const std::string& name = "") const {
        return (std::filesystem::path(unity) / "DDXMLRepository" / name).string();
    }
    std::string backup(const std::string& name) const {
        return (std::filesystem::path(unity) / "DDXMLRepository" / "TVQbackup" / name).string();
    }
    // A description file named `root` + ".txt" in `folder` (the sources folder by default).
    std::string description(const std::string& root, const Lines& lines,
                            const std::string& folder = "") const {
        const std::string path =
            (std::filesystem::path(folder.empty() ? sources : folder) / (root + ".txt")).string();
        writeFile(path, fileText(lines));
        return path;
    }
};

// The script lines of File > Install new .txt choosing `path`.
inline std::string installScript(const std::string& path) {
    return "menu 100\nfile \"" + path + "\"\n";
}

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace dtmrepo_test
