#include "platform/debug_output.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace platform {

void DebugOutput(const char* text) {
    // Nobody watches a debugger's output here: the texts go to the file that
    // $CALVENTO_DEBUG_OUTPUT names, and nowhere (never the user's terminal) without it.
    const char* path = std::getenv("CALVENTO_DEBUG_OUTPUT");
    if (path == nullptr || path[0] == '\0')
        return;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    // Straight to the descriptor: the text must not wait in a stdio buffer behind a crash.
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text += n;
        left -= static_cast<size_t>(n);
    }
    ::close(fd);
}

}  // namespace platform
