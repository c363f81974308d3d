#pragma once

// Read access to a received device-replacement file that never leaves it: every read names
// its offset and width, and a caller asks `holds` before it relies on a value.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fdr {

class PrmBytes {
  public:
    explicit PrmBytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    // True when `count` bytes from `offset` lie within the file.
    bool holds(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }

    // Values outside the file read as 0 (and texts as empty), so a reader that was not
    // checked still stays inside the file.
    uint8_t u8(std::size_t offset) const { return holds(offset, 1) ? bytes_[offset] : 0; }
    uint16_t u16(std::size_t offset) const;  // little-endian
    uint32_t u32(std::size_t offset) const;  // little-endian
    uint32_t u32BigEndian(std::size_t offset) const;
    float f32(std::size_t offset) const;  // IEEE 754 single, little-endian

    // Characters with zero bytes left out, or every byte kept.
    std::string text(std::size_t offset, std::size_t count) const;
    std::string rawText(std::size_t offset, std::size_t count) const;

  private:
    std::span<const uint8_t> bytes_;
};

}  // namespace fdr
