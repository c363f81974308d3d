#pragma once

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start, monotonic, wrapping at 2^32 like the
// Windows tick count; compare two ticks only by their signed difference.
uint32_t TickCount();

// Milliseconds since an arbitrary start, monotonic and never wrapping: for deadlines that may
// lie 2^31 ms or more ahead, which the 32-bit count cannot tell from the past.
uint64_t TickCount64();

// True when `deadline` is now or in the past, safe across the wrap.
inline bool TickReached(uint32_t now, uint32_t deadline) {
    return static_cast<int32_t>(now - deadline) >= 0;
}

}  // namespace platform
