#include "extractor/project/output_placement.h"

#include <system_error>

#include "platform/ansi_path.h"

namespace extractor {

namespace fs = std::filesystem;

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

}  // namespace extractor
