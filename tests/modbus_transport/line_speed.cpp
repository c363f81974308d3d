#include "tests/modbus_transport/line_speed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
// <sys/ioctl.h> would pull in definitions that clash with <asm/termbits.h>.
extern "C" int ioctl(int fd, unsigned long request, ...);

LineSpeeds ReadLineSpeeds(int fd) {
    termios2 line{};
    if (ioctl(fd, TCGETS2, &line) != 0)
        return {};
    return {line.c_ispeed, line.c_ospeed};
}
