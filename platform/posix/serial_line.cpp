#include "platform/posix/serial_line.h"

#include <sys/ioctl.h>

#include <cerrno>

#if defined(__linux__)
#include <linux/serial.h>
#endif

#include "platform/posix/serial_speed.h"

namespace platform {

namespace {

struct SpeedCode {
    uint32_t baud;
    speed_t code;
};

// The rates of the link settings' baud table that termios names (135 is the old 134.5).
constexpr SpeedCode kSpeedCodes[] = {
    {50, B50},       {75, B75},       {110, B110},     {135, B134},
    {150, B150},     {300, B300},     {600, B600},     {1200, B1200},
    {1800, B1800},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

}  // namespace

bool WriteLineSettings(int fd, termios& tio, uint32_t baud) {
    for (const SpeedCode& speed : kSpeedCodes) {
        if (speed.baud == baud) {
#if defined(CIBAUD)
            // A rate without a constant, set on this device before (by us or anyone), stays
            // in the input-rate bits, which the C library's setters leave alone: cleared, the
            // input runs at the output's rate.
            tio.c_cflag &= ~static_cast<tcflag_t>(CIBAUD);
#endif
            return ::cfsetispeed(&tio, speed.code) == 0 && ::cfsetospeed(&tio, speed.code) == 0 &&
                   ::tcsetattr(fd, TCSANOW, &tio) == 0;
        }
    }
    return ::tcsetattr(fd, TCSANOW, &tio) == 0 && SetArbitrarySpeed(fd, baud);
}

bool EnableRtsToggle(int fd) {
#if defined(__linux__)
    serial_rs485 rs485{};
    rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    return ::ioctl(fd, TIOCSRS485, &rs485) == 0;
#else
    (void)fd;
    return false;
#endif
}

void RaiseModemLine(int fd, int line) {
    const int saved = errno;
    // A pty or a three-wire adapter has no modem lines; that does not stop Modbus.
    ::ioctl(fd, TIOCMBIS, &line);
    errno = saved;
}

}  // namespace platform
