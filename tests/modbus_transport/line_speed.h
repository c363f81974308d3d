#pragma once

#include <cstdint>

// The speeds a terminal device runs at, in bits per second, as the kernel holds them: also
// the rates that termios has no constant for. Apart from <termios.h>, whose types clash with
// the kernel's termios2. Both 0 when the device cannot be asked.
struct LineSpeeds {
    uint32_t input = 0;
    uint32_t output = 0;
};
LineSpeeds ReadLineSpeeds(int fd);
