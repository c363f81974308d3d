#include "platform/file_replace.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <random>

namespace platform {

namespace {

std::string FolderOf(const std::string& target) {
    const size_t slash = target.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
}

}  // namespace

std::FILE* CreateStagingFile(const std::string& target, std::string& stagingName) {
    stagingName.clear();
    std::string folder = FolderOf(target);
    if (folder.back() != '/')
        folder += '/';
    std::random_device seed;
    std::mt19937 pick(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, "stg%06X.tmp", static_cast<unsigned>(pick() & 0xFFFFFF));
        const std::string candidate = folder + name;
        // O_EXCL: a name that exists, the user's file or another staging file, is never opened.
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return nullptr;
        }
        std::FILE* file = ::fdopen(fd, "wb");
        if (file == nullptr) {
            ::close(fd);
            ::unlink(candidate.c_str());
            return nullptr;
        }
        stagingName = candidate;
        return file;
    }
    return nullptr;
}

bool FlushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool MoveFileOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace platform
