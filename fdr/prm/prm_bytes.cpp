#include "fdr/prm/prm_bytes.h"

#include <algorithm>
#include <bit>

namespace fdr {

uint16_t PrmBytes::u16(std::size_t offset) const {
    if (!holds(offset, 2))
        return 0;
    return static_cast<uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
}

uint32_t PrmBytes::u32(std::size_t offset) const {
    if (!holds(offset, 4))
        return 0;
    return uint32_t{u16(offset)} | uint32_t{u16(offset + 2)} << 16;
}

uint32_t PrmBytes::u32BigEndian(std::size_t offset) const {
    if (!holds(offset, 4))
        return 0;
    return uint32_t{bytes_[offset]} << 24 | uint32_t{bytes_[offset + 1]} << 16 |
           uint32_t{bytes_[offset + 2]} << 8 | bytes_[offset + 3];
}

float PrmBytes::f32(std::size_t offset) const {
    return std::bit_cast<float>(u32(offset));
}

std::string PrmBytes::text(std::size_t offset, std::size_t count) const {
    std::string shown = rawText(offset, count);
    std::erase(shown, '\0');
    return shown;
}

std::string PrmBytes::rawText(std::size_t offset, std::size_t count) const {
    if (offset >= bytes_.size())
        return {};
    const std::size_t kept = std::min(count, bytes_.size() - offset);
    return std::string(reinterpret_cast<const char*>(bytes_.data() + offset), kept);
}

}  // namespace fdr
