#include "platform/posix/registry_store.h"

#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>

namespace platform::store {

namespace {

std::recursive_mutex& ProcessLock() {
    static std::recursive_mutex lock;
    return lock;
}

std::string HomeFolder() {
    if (const char* home = getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

// mkdir -p for the folder that holds `file`.
void MakeParentFolders(const std::string& file) {
    for (size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        mkdir(file.substr(0, slash).c_str(), 0700);
    }
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string StorePath() {
    if (const char* path = getenv("CALVENTO_REGISTRY"); path && *path)
        return path;
    return HomeFolder() + "/.config/calvento/registry.reg";
}

std::string FullPath(RegRoot root, const std::string& path) {
    const std::string rootName =
        root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    return path.empty() ? rootName : rootName + "\\" + path;
}

StoreLock::StoreLock() {
    ProcessLock().lock();
    const std::string lockPath = StorePath() + ".lock";
    MakeParentFolders(lockPath);
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file (read-only folder) the store still works within this process.
    if (fd_ >= 0) {
        while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

StoreLock::~StoreLock() {
    if (fd_ >= 0)
        close(fd_);  // closing releases the flock
    ProcessLock().unlock();
}

RegStatus Load(regedit4::Document& doc, uint32_t& systemError) {
    doc.keys.clear();
    const int fd = open(StorePath().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return RegStatus::Ok;
        systemError = static_cast<uint32_t>(errno);
        return errno == EACCES ? RegStatus::Denied : RegStatus::Failed;
    }
    // Refused whole before reading: a part of a store could lack the very values asked for.
    struct stat status {};
    if (fstat(fd, &status) == 0 && static_cast<uint64_t>(status.st_size) > kLargestStoreBytes) {
        close(fd);
        systemError = kStoreTooLargeError;
        return RegStatus::Failed;
    }
    std::string text;
    text.reserve(static_cast<size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            systemError = static_cast<uint32_t>(errno);
            close(fd);
            return RegStatus::Failed;
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
        // A file that grows while it is read (not one of ours: we replace it whole).
        if (text.size() > kLargestStoreBytes) {
            close(fd);
            systemError = kStoreTooLargeError;
            return RegStatus::Failed;
        }
    }
    close(fd);
    std::string error;
    if (!regedit4::Parse(text, doc, error)) {
        doc.keys.clear();
        systemError = kNotRegedit4Error;
        return RegStatus::Failed;
    }
    return RegStatus::Ok;
}

RegStatus Save(const regedit4::Document& doc, uint32_t& systemError) {
    const std::string text = regedit4::Format(doc);
    if (text.size() > kLargestStoreBytes) {
        systemError = kStoreTooLargeError;
        return RegStatus::Failed;
    }
    const std::string path = StorePath();
    MakeParentFolders(path);
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        systemError = static_cast<uint32_t>(errno);
        return errno == EACCES ? RegStatus::Denied : RegStatus::Failed;
    }
    const bool written = WriteAll(fd, text) && fsync(fd) == 0;
    const int writeError = errno;
    if (close(fd) != 0 || !written || rename(temp.c_str(), path.c_str()) != 0) {
        systemError = static_cast<uint32_t>(written ? errno : writeError);
        unlink(temp.c_str());
        return RegStatus::Failed;
    }
    return RegStatus::Ok;
}

}  // namespace platform::store
