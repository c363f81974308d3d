#include "platform/system_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

// strerror_r comes in two shapes (GNU returns the text, XSI fills the buffer); both are
// thread-safe, unlike strerror, and the I/O threads format errors concurrently.
[[maybe_unused]] const char* PickText(const char* gnuResult, const char*) {
    return gnuResult;
}
[[maybe_unused]] const char* PickText(int xsiResult, const char* buffer) {
    return xsiResult == 0 ? buffer : "Unknown error";
}

}  // namespace

int LastSystemError() {
    return errno;
}

void SystemErrorText(int code, char* text, size_t size) {
    if (size == 0)
        return;
    char buffer[256] = {};
    const char* message = PickText(strerror_r(code, buffer, sizeof buffer), buffer);
    std::snprintf(text, size, "%s", message);
}

}  // namespace platform
