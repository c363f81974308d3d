#include "platform/debug_output.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>

namespace platform {

void DebugOutput(const char* text) {
    // Straight to the descriptor: the text must not wait in a stdio buffer behind a crash.
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = write(STDERR_FILENO, text, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

}  // namespace platform
