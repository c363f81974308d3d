#include "svc/svc_staged_file.h"

#include <cerrno>
#include <system_error>

namespace svc {

SvcStagedFile::SvcStagedFile(std::filesystem::path finalPath)
    : finalPath_(std::move(finalPath)), stagingPath_(finalPath_) {
    stagingPath_ += ".partial";
}

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
    errno = 0;
    // Binary, so that the CR LF line ends are written as they are on every platform.
    stream_.open(stagingPath_, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!stream_.is_open()) {
        errorNumber_ = errno != 0 ? errno : EIO;
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

}  // namespace svc
