#include "extractor/project/output_placement.h"

#include <random>
#include <system_error>

#include "platform/ansi_path.h"

namespace extractor {

namespace fs = std::filesystem;

namespace {

std::string randomTag() {
    static std::mt19937 random{std::random_device{}()};
    return std::to_string(random() % 1000000000u);
}

}  // namespace

bool moveOver(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code failed;
    fs::rename(from, to, failed);
    if (failed && fs::is_regular_file(to)) {
        failed.clear();
        fs::remove(to, failed);
        if (!failed) {
            fs::rename(from, to, failed);
        }
    }
    if (failed) {
        error = "Can't write " + platform::AnsiFromPath(to) + ": " + failed.message();
        return false;
    }
    return true;
}

bool placeFile(const fs::path& from, const fs::path& to, std::string& error) {
    fs::path staging = to;
    staging += ".~" + randomTag();
    std::error_code failed;
    fs::copy_file(from, staging, fs::copy_options::overwrite_existing, failed);
    if (failed) {
        error = "Can't write " + platform::AnsiFromPath(to) + ": " + failed.message();
    }
    if (failed || !moveOver(staging, to, error)) {
        std::error_code ignored;
        fs::remove(staging, ignored);
        return false;
    }
    return true;
}

}  // namespace extractor
