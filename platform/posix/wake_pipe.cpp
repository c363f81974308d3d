#include "platform/posix/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

WakePipe::WakePipe() {
    if (::pipe(fds) != 0) {
        fds[0] = fds[1] = -1;
        return;
    }
    for (int fd : fds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

WakePipe::~WakePipe() {
    for (int fd : fds) {
        if (fd >= 0)
            ::close(fd);
    }
}

void WakePipe::Signal() {
    const char byte = 1;
    // A full pipe already holds a pending wake-up, so a refused write loses nothing.
    [[maybe_unused]] const ssize_t ignored = ::write(fds[1], &byte, 1);
}

void WakePipe::Drain() {
    char bytes[64];
    while (::read(fds[0], bytes, sizeof bytes) > 0) {
    }
}

}  // namespace platform
