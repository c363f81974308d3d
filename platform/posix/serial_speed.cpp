#include "platform/posix/serial_speed.h"

#include <cerrno>

#if defined(__linux__)
#include <asm/ioctls.h>
#include <asm/termbits.h>
// <sys/ioctl.h> would pull in definitions that clash with <asm/termbits.h>.
extern "C" int ioctl(int fd, unsigned long request, ...);
#endif

namespace platform {

bool SetArbitrarySpeed(int fd, uint32_t baud) {
#if defined(__linux__)
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = baud;
    tio.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &tio) == 0;
#else
    (void)fd;
    (void)baud;
    errno = EINVAL;
    return false;
#endif
}

}  // namespace platform
