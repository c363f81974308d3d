#include "svc/svc_staged_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <system_error>

namespace svc {

// A short name of its own in the final file's folder, so that a final name that fits the file
// system is never refused because its staging name is longer. It is named by a hash of the
// final name (FNV-1a), so the outputs of one run never share one.
std::filesystem::path SvcStagedFile::stagingPathFor(const std::filesystem::path& finalPath) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : finalPath.filename().string()) {
        hash = (hash ^ c) * 16777619u;
    }
    char name[16];
    std::snprintf(name, sizeof name, "~%08X.tmp", static_cast<unsigned>(hash));
    return finalPath.parent_path() / name;
}

std::filesystem::path SvcStagedFile::keptAsidePathFor(const std::filesystem::path& finalPath) {
    return std::filesystem::path(stagingPathFor(finalPath)).replace_extension(".old");
}

SvcStagedFile::SvcStagedFile(std::filesystem::path finalPath)
    : finalPath_(std::move(finalPath)), stagingPath_(stagingPathFor(finalPath_)) {}

SvcStagedFile::~SvcStagedFile() {
    if (stream_.is_open()) {
        stream_.close();
    }
    if (!committed_) {
        std::error_code ignored;
        std::filesystem::remove(stagingPath_, ignored);
    }
}

bool SvcStagedFile::open() {
    // A final file the user made read-only is refused, as opening it for output would be: the
    // move into place would replace it (and on Windows leave it behind under its ".old" name,
    // since a read-only file cannot be deleted).
    std::error_code unknown;
    const std::filesystem::perms writable = std::filesystem::perms::owner_write |
                                            std::filesystem::perms::group_write |
                                            std::filesystem::perms::others_write;
    const std::filesystem::file_status earlier = std::filesystem::status(finalPath_, unknown);
    if (std::filesystem::is_regular_file(earlier) &&
        (earlier.permissions() & writable) == std::filesystem::perms::none) {
        errorNumber_ = EACCES;
        return false;
    }
    errno = 0;
    // Binary, so that the CR LF line ends are written as they are on every platform.
    stream_.open(stagingPath_, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!stream_.is_open()) {
        errorNumber_ = errno != 0 ? errno : EIO;
        // A stale temporary file of that name that cannot be replaced is not the folder's doing.
        std::error_code ignored;
        folderRefused_ =
            (errorNumber_ == EACCES || errorNumber_ == EPERM || errorNumber_ == EROFS) &&
            !std::filesystem::exists(std::filesystem::symlink_status(stagingPath_, ignored));
        return false;
    }
    return true;
}

bool SvcStagedFile::close() {
    errno = 0;
    stream_.flush();
    const bool written = static_cast<bool>(stream_);
    stream_.close();
    if (!written || stream_.fail()) {
        errorNumber_ = errno != 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool SvcStagedFile::commit() {
    std::error_code error;
    std::filesystem::rename(stagingPath_, finalPath_, error);
    if (error) {
        // Some platforms refuse to rename over an existing file.
        std::error_code ignored;
        std::filesystem::remove(finalPath_, ignored);
        error.clear();
        std::filesystem::rename(stagingPath_, finalPath_, error);
    }
    if (error) {
        errorNumber_ = error.value();
        return false;
    }
    committed_ = true;
    return true;
}

bool SvcStagedFile::commitTogether(const std::vector<SvcStagedFile*>& files,
                                   SvcStagedFile*& failed) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (SvcStagedFile* file : files) {
        const fs::file_status status = fs::symlink_status(file->finalPath_, error);
        if (fs::exists(status) && !fs::is_regular_file(status)) {
            file->errorNumber_ = fs::is_directory(status) ? EISDIR : EEXIST;
            failed = file;
            return false;
        }
    }
    // The earlier files wait beside their final names until every new one is in place.
    struct Move {
        SvcStagedFile* file;
        fs::path keptAside;  // empty: there was no earlier file
        bool moved = false;
    };
    std::vector<Move> moves;
    const auto undo = [&moves] {
        std::error_code ignored;
        for (Move& move : moves) {
            if (move.moved) {
                fs::rename(move.file->finalPath_, move.file->stagingPath_, ignored);
            }
            if (!move.keptAside.empty()) {
                fs::rename(move.keptAside, move.file->finalPath_, ignored);
            }
        }
    };
    for (SvcStagedFile* file : files) {
        Move move{file, {}};
        if (fs::exists(file->finalPath_, error)) {
            move.keptAside = keptAsidePathFor(file->finalPath_);
            fs::rename(file->finalPath_, move.keptAside, error);
            if (error) {
                file->errorNumber_ = error.value();
                failed = file;
                undo();
                return false;
            }
        }
        moves.push_back(move);
    }
    for (Move& move : moves) {
        fs::rename(move.file->stagingPath_, move.file->finalPath_, error);
        if (error) {
            move.file->errorNumber_ = error.value();
            failed = move.file;
            undo();
            return false;
        }
        move.moved = true;
    }
    for (Move& move : moves) {
        move.file->committed_ = true;
        if (!move.keptAside.empty()) {
            fs::remove(move.keptAside, error);
        }
    }
    return true;
}

}  // namespace svc
