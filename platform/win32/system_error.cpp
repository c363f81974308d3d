#include "platform/system_error.h"

#include <windows.h>

#include <cstdio>

namespace platform {

int LastSystemError() {
    return static_cast<int>(GetLastError());
}

void SystemErrorText(int code, char* text, size_t size) {
    if (size == 0)
        return;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
                       static_cast<DWORD>(size), nullptr);
    if (length == 0) {
        std::snprintf(text, size, "System error %d", code);
        return;
    }
    // The system's texts end in CR LF, which would break the one-line error boxes.
    DWORD end = length;
    while (end > 0 && (text[end - 1] == '\r' || text[end - 1] == '\n' || text[end - 1] == ' ')) {
        --end;
    }
    text[end] = '\0';
}

}  // namespace platform
