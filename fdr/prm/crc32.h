#pragma once

// The CRC-32 that device-replacement files carry: reflected polynomial 0xEDB88320, initial
// value 0xFFFFFFFF, each byte folded in low bit first, result complemented.

#include <cstddef>
#include <cstdint>

namespace fdr {

// Over the first `n` bytes of `bytes`.
uint32_t calcCrc32(const uint8_t* bytes, std::size_t n);

}  // namespace fdr
