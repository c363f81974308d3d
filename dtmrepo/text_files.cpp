#include "dtmrepo/text_files.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "toolshell/text_lines.h"

namespace dtmrepo {

namespace fs = std::filesystem;

std::optional<std::vector<std::string>> readTextFileLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string line;
    while (toolshell::readTextLine(in, line)) {
        lines.push_back(line);
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return lines;
}

std::optional<std::string> readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(bytes).str();
}

bool replaceFileWith(const fs::path& target, std::string_view bytes) {
    fs::path fresh = target;
    fresh += ".new";
    {
        std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(fresh, ignored);
            return false;
        }
    }
    // What lies on the disk is what was meant, before it takes the target's place.
    const std::optional<std::string> written = readFileBytes(fresh);
    std::error_code error;
    if (!written || *written != bytes) {
        fs::remove(fresh, error);
        return false;
    }
    fs::rename(fresh, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(fresh, ignored);
        return false;
    }
    return true;
}

std::string textWithLineEnds(const std::vector<std::string>& lines) {
    std::ostringstream text;
    for (const std::string& line : lines) {
        toolshell::writeTextLine(text, line);
    }
    return std::move(text).str();
}

bool writeTextFileLines(const fs::path& target, const std::vector<std::string>& lines) {
    return replaceFileWith(target, textWithLineEnds(lines));
}

}  // namespace dtmrepo
