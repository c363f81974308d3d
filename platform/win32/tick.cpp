#include "platform/tick.h"

#include <windows.h>

namespace platform {

uint32_t TickCount() {
    return GetTickCount();
}

uint64_t TickCount64() {
    return GetTickCount64();
}

}  // namespace platform
