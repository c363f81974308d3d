#include "platform/tick.h"

#include <time.h>

namespace platform {

uint64_t TickCount64() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

uint32_t TickCount() {
    return static_cast<uint32_t>(TickCount64());
}

}  // namespace platform
