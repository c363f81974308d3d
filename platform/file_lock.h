#pragma once

// An exclusive lock between programs on a shared folder, held through a lock file: while one
// program holds it, another that asks waits or is told the folder is busy. The lock file goes
// when the lock is released, so a folder at rest holds none.

#include <memory>
#include <string>

namespace platform {

class FileLock {
  public:
    enum class Result {
        Held,    // the lock is this object's until it is destroyed
        Busy,    // another holder kept it for the whole wait
        Failed,  // the lock file cannot be made (the folder is missing or read-only)
    };

    // Tries for the lock on `path` (a name in the system's narrow encoding) for up to
    // `waitMilliseconds`.
    static std::unique_ptr<FileLock> Acquire(const std::string& path, int waitMilliseconds,
                                             Result& result);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    struct Handle;
    explicit FileLock(std::unique_ptr<Handle> handle);
    std::unique_ptr<Handle> handle_;
};

}  // namespace platform
