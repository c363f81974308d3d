#pragma once

#include <cstdint>

namespace platform {

// Sets a rate that termios has no constant for. Kept apart from <termios.h>, whose types
// clash with the kernel's own termios2 declarations that this needs.
bool SetArbitrarySpeed(int fd, uint32_t baud);

}  // namespace platform
