#include "toolshell/work_folder.h"

#include <random>
#include <system_error>

namespace toolshell {

namespace fs = std::filesystem;

WorkFolder::WorkFolder(std::string_view prefix) {
    std::error_code failed;
    const fs::path base = fs::temp_directory_path(failed);
    if (failed) {
        error_ = "no temporary folder: " + failed.message();
        return;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    // A name that exists already belongs to someone else; create_directory tells, atomically.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            base / (std::string(prefix) + "-" + std::to_string(random() % 1000000000000u));
        if (fs::create_directory(candidate, failed)) {
            path_ = candidate;
            return;
        }
        if (failed) {
            error_ = "cannot create a folder in " + base.string() + ": " + failed.message();
            return;
        }
    }
    error_ = "cannot find a free folder name in " + base.string();
}

WorkFolder::~WorkFolder() {
    if (made()) {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
}

}  // namespace toolshell
