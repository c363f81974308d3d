#pragma once

#include <termios.h>

#include <cstdint>

namespace platform {

// Writes `tio` to the device with the line running at `baud`, including rates termios has
// no constant for (3600, 7200, 14400, 76800). False, with errno set, when the device
// refuses the settings.
bool WriteLineSettings(int fd, termios& tio, uint32_t baud);

// Asks the driver to raise RTS only while transmitting (half-duplex RS-485 adapters).
bool EnableRtsToggle(int fd);

// Raises a modem control line (TIOCM_RTS, TIOCM_DTR) where the device has one.
void RaiseModemLine(int fd, int line);

}  // namespace platform
