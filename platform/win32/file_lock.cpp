#include "platform/file_lock.h"

#include <windows.h>

namespace platform {

struct FileLock::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
};

FileLock::FileLock(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

FileLock::~FileLock() {
    CloseHandle(handle_->file);  // delete-on-close removes the lock file
}

std::unique_ptr<FileLock> FileLock::Acquire(const std::string& path, int waitMilliseconds,
                                            Result& result) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMilliseconds);
    for (;;) {
        // No sharing: a second opener gets a sharing violation while this handle is open.
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            auto handle = std::make_unique<Handle>();
            handle->file = file;
            result = Result::Held;
            return std::unique_ptr<FileLock>(new FileLock(std::move(handle)));
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
            result = Result::Failed;
            return nullptr;
        }
        if (GetTickCount64() >= deadline) {
            result = Result::Busy;
            return nullptr;
        }
        Sleep(50);
    }
}

}  // namespace platform
