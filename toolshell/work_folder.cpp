#include "toolshell/work_folder.h"

#include <chrono>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/ansi_path.h"
#include "platform/file_lock.h"

namespace toolshell {

namespace fs = std::filesystem;

namespace {

constexpr const char* lockSuffix = ".lock";
constexpr const char* strayList = ".strays";

// "<prefix>-<digits>", the name of a work folder of the tool.
bool isWorkFolderName(const std::string& name, std::string_view prefix) {
    const std::string start = std::string(prefix) + "-";
    return name.size() > start.size() && name.compare(0, start.size(), start) == 0 &&
           name.find_first_not_of("0123456789", start.size()) == std::string::npos;
}

fs::path lockPathOf(const fs::path& folder) {
    fs::path lock = folder;
    lock += lockSuffix;
    return lock;
}

std::unique_ptr<platform::FileLock> tryLock(const fs::path& lock,
                                            platform::FileLock::Result& result) {
    return platform::FileLock::Acquire(platform::AnsiFromPath(lock), 0, result);
}

// A name this tool gives to what it makes beside the user's files: only such are removed.
bool isStagingName(const fs::path& path) {
    return path.filename().u8string().rfind(u8".~", 0) == 0;
}

void removeStrays(const fs::path& folder) {
    std::ifstream list(folder / strayList, std::ios::binary);
    std::string line;
    while (std::getline(list, line)) {
        if (line.size() < 3 || line[1] != ' ') {
            continue;
        }
        const fs::path path(std::u8string(line.begin() + 2, line.end()));
        std::error_code ignored;
        switch (line[0]) {
            case 'F':
                if (isStagingName(path) && fs::is_regular_file(fs::symlink_status(path, ignored))) {
                    fs::remove(path, ignored);
                }
                break;
            case 'P': {
                if (!isStagingName(path)) {
                    break;
                }
                const std::u8string start = path.filename().u8string();
                for (fs::directory_iterator it(path.parent_path(), ignored), end;
                     !ignored && it != end; it.increment(ignored)) {
                    std::error_code failed;
                    if (it->path().filename().u8string().rfind(start, 0) == 0 &&
                        it->is_regular_file(failed) && !it->is_symlink(failed)) {
                        fs::remove(it->path(), failed);
                    }
                }
                break;
            }
            case 'D':
                fs::remove(path, ignored);  // an empty folder only
                break;
            default:
                break;
        }
    }
}

// A run that was killed left its folder behind. A folder with a lock file belongs to a run
// still going while the lock is held; one without (an older version's) is the tool's own when
// it is a day old, as no run lasts that long.
void sweepFolder(const fs::directory_entry& entry) {
    std::error_code ignored;
    if (!entry.is_directory(ignored) || entry.is_symlink(ignored)) {
        return;
    }
    const fs::path lock = lockPathOf(entry.path());
    if (fs::exists(lock, ignored)) {
        platform::FileLock::Result result;
        const auto held = tryLock(lock, result);
        if (held) {
            removeStrays(entry.path());
            fs::remove_all(entry.path(), ignored);
        }
        return;
    }
    const auto cutoff = fs::file_time_type::clock::now() - std::chrono::hours(24);
    if (fs::last_write_time(entry.path(), ignored) < cutoff && !ignored) {
        fs::remove_all(entry.path(), ignored);
    }
}

void sweepIn(const fs::path& base, std::string_view prefix) {
    std::error_code failed;
    for (fs::directory_iterator it(base, failed), end; !failed && it != end; it.increment(failed)) {
        const std::string name = platform::AnsiFromPath(it->path().filename());
        if (isWorkFolderName(name, prefix)) {
            sweepFolder(*it);
            continue;
        }
        // The lock of a run killed before its folder was made, or after it was removed: taking
        // and releasing it removes it.
        const std::size_t suffix = name.size() - std::char_traits<char>::length(lockSuffix);
        if (name.size() > std::char_traits<char>::length(lockSuffix) &&
            name.compare(suffix, std::string::npos, lockSuffix) == 0 &&
            isWorkFolderName(name.substr(0, suffix), prefix)) {
            std::error_code ignored;
            if (!fs::exists(base / platform::PathFromAnsi(name.substr(0, suffix)), ignored)) {
                platform::FileLock::Result result;
                tryLock(it->path(), result);
            }
        }
    }
}

}  // namespace

void WorkFolder::sweepLeftovers(std::string_view prefix) {
    std::error_code failed;
    const fs::path base = fs::temp_directory_path(failed);
    if (!failed) {
        sweepIn(base, prefix);
    }
}

WorkFolder::WorkFolder(std::string_view prefix) {
    std::error_code failed;
    const fs::path base = fs::temp_directory_path(failed);
    if (failed) {
        error_ = "no temporary folder: " + failed.message();
        return;
    }
    sweepIn(base, prefix);
    std::random_device seed;
    std::mt19937_64 random(seed());
    // The lock first, then the folder: a folder that exists is always held while its run lives.
    // A name that exists already belongs to someone else; create_directory tells, atomically.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            base / (std::string(prefix) + "-" + std::to_string(random() % 1000000000000u));
        platform::FileLock::Result result;
        auto lock = tryLock(lockPathOf(candidate), result);
        // A lock that cannot be made (a name the system's code page lacks, say) leaves the
        // folder to the sweep of day-old folders, as before locks were kept.
        if (!lock && result == platform::FileLock::Result::Busy) {
            continue;
        }
        if (fs::create_directory(candidate, failed)) {
            path_ = candidate;
            lock_ = std::move(lock);
            return;
        }
        if (failed) {
            error_ = "cannot create a folder in " + platform::AnsiFromPath(base) + ": " +
                     failed.message();
            return;
        }
    }
    error_ = "cannot find a free folder name in " + platform::AnsiFromPath(base);
}

WorkFolder::~WorkFolder() {
    if (made()) {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    lock_.reset();  // the folder goes first, then its lock
}

void WorkFolder::noteStray(Stray kind, const fs::path& path) {
    if (!made()) {
        return;
    }
    const char tag = kind == Stray::File ? 'F' : kind == Stray::FilesStartingWith ? 'P' : 'D';
    std::ofstream list(path_ / strayList, std::ios::binary | std::ios::app);
    std::error_code failed;
    const fs::path whole = fs::absolute(path, failed);
    const std::u8string text = (failed ? path : whole).u8string();
    list << tag << ' ' << std::string(text.begin(), text.end()) << '\n';
    // Closed here, so the line is on the disk before the file is made.
}

}  // namespace toolshell
