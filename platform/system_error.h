#pragma once

#include <cstddef>

namespace platform {

// The calling thread's last OS error code (errno, or GetLastError on Windows).
int LastSystemError();

// The operating system's own message text for `code`, cut to fit `size` bytes (terminated).
void SystemErrorText(int code, char* text, size_t size);

}  // namespace platform
