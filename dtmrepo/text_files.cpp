#include "dtmrepo/text_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ansi_path.h"
#include "platform/file_replace.h"
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

namespace {

FileMoveObserver fileMoveObserver = nullptr;

bool moveIntoPlace(const std::string& staging, const fs::path& target) {
    if (fileMoveObserver != nullptr) {
        fileMoveObserver(target, false);
    }
    const bool moved = platform::MoveFileOver(staging, platform::AnsiFromPath(target));
    if (moved && fileMoveObserver != nullptr) {
        fileMoveObserver(target, true);
    }
    return moved;
}

}  // namespace

void setFileMoveObserver(FileMoveObserver observer) {
    fileMoveObserver = observer;
}

bool replaceFileWith(const fs::path& target, std::string_view bytes) {
    std::string staging;
    std::FILE* out = platform::CreateStagingFile(platform::AnsiFromPath(target), staging);
    if (out == nullptr) {
        return false;
    }
    // On the disk before it takes the target's place: a power cut must leave the old file or
    // the new one, never an empty index.
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                         platform::FlushToDisk(out);
    const bool closed = std::fclose(out) == 0;
    // What lies on the disk is what was meant, before it takes the target's place.
    const fs::path stagingPath = platform::PathFromAnsi(staging);
    const std::optional<std::string> onDisk = readFileBytes(stagingPath);
    if (written && closed && onDisk && *onDisk == bytes && moveIntoPlace(staging, target)) {
        return true;
    }
    std::error_code ignored;
    fs::remove(stagingPath, ignored);
    return false;
}

namespace {

bool isStagingName(const std::string& name) {
    constexpr std::string_view kHex = "0123456789ABCDEFabcdef";
    if (name.size() < 8 || (name.rfind("stg", 0) != 0 && name.rfind("STG", 0) != 0)) {
        return false;
    }
    const std::string extension = name.substr(name.size() - 4);
    if (extension != ".tmp" && extension != ".TMP") {
        return false;
    }
    const std::string digits = name.substr(3, name.size() - 7);
    return !digits.empty() && digits.find_first_not_of(kHex) == std::string::npos;
}

}  // namespace

void removeStagingFiles(const fs::path& folder) {
    if (folder.empty()) {
        return;
    }
    std::error_code error;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (isStagingName(platform::AnsiFromPath(it->path().filename())) &&
            it->is_regular_file(error)) {
            stale.push_back(it->path());
        }
    }
    for (const fs::path& file : stale) {
        fs::remove(file, error);
    }
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
