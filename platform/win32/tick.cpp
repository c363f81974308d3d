#include "platform/tick.h"

#include <windows.h>

namespace platform {

uint32_t TickCount() { return GetTickCount(); }

}  // namespace platform
