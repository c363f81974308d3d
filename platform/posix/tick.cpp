#include "platform/tick.h"

#include <time.h>

namespace platform {

uint32_t TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000;
    return static_cast<uint32_t>(ms);
}

}  // namespace platform
