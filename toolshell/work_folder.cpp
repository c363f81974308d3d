#include "toolshell/work_folder.h"

#include <chrono>
#include <random>
#include <system_error>

namespace toolshell {

namespace fs = std::filesystem;

namespace {

// A run that was killed (or lost its power) left its folder behind. No run lasts a day, so a
// folder of this tool that old belongs to nobody any more.
void SweepStaleFolders(const fs::path& base, std::string_view prefix) {
    const std::string start = std::string(prefix) + "-";
    const auto cutoff = fs::file_time_type::clock::now() - std::chrono::hours(24);
    std::error_code failed;
    for (fs::directory_iterator it(base, failed), end; !failed && it != end; it.increment(failed)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= start.size() || name.compare(0, start.size(), start) != 0 ||
            name.find_first_not_of("0123456789", start.size()) != std::string::npos) {
            continue;
        }
        std::error_code ignored;
        if (it->is_directory(ignored) && !it->is_symlink(ignored) &&
            fs::last_write_time(it->path(), ignored) < cutoff && !ignored) {
            fs::remove_all(it->path(), ignored);
        }
    }
}

}  // namespace

WorkFolder::WorkFolder(std::string_view prefix) {
    std::error_code failed;
    const fs::path base = fs::temp_directory_path(failed);
    if (failed) {
        error_ = "no temporary folder: " + failed.message();
        return;
    }
    SweepStaleFolders(base, prefix);
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
