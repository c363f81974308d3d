#include "platform/file_lock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace platform {

struct FileLock::Handle {
    std::string path;
    int fd = -1;
};

FileLock::FileLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

FileLock::~FileLock() {
    // Unlinked while still held: a waiter that opened this file sees it is no longer the
    // path's and opens the path anew.
    ::unlink(handle_->path.c_str());
    ::close(handle_->fd);
}

std::unique_ptr<FileLock> FileLock::Acquire(const std::string& path, int waitMilliseconds,
                                            Result& result) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            result = Result::Failed;
            return nullptr;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat held {};
            struct stat named {};
            if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                auto handle = std::make_unique<Handle>();
                handle->path = path;
                handle->fd = fd;
                result = Result::Held;
                return std::unique_ptr<FileLock>(new FileLock(std::move(handle)));
            }
            ::close(fd);  // the holder before removed it: try the path's new file
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) {
            result = Result::Failed;
            return nullptr;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            result = Result::Busy;
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

}  // namespace platform
