#include "downloader/payload_crc.h"

#include <array>

namespace {

// The Modbus CRC-16 table (reflected polynomial 0xA001).
constexpr std::array<uint16_t, 256> MakeCrcTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t value = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) {
            value = (value & 1) ? static_cast<uint16_t>((value >> 1) ^ 0xA001) : (value >> 1);
        }
        table[i] = value;
    }
    return table;
}

constexpr std::array<uint16_t, 256> kCrcTable = MakeCrcTable();

uint16_t SwapBytes(uint16_t value) {
    return static_cast<uint16_t>((value << 8) | (value >> 8));
}

uint16_t FeedByte(uint16_t state, uint8_t byte) {
    return static_cast<uint16_t>((state >> 8) ^ kCrcTable[(state ^ byte) & 0xFF]);
}

}  // namespace

uint16_t PayloadCrc(uint16_t crc, const uint16_t* words, int32_t count) {
    uint16_t state = SwapBytes(crc);
    for (int32_t i = 0; i < count; ++i) {
        // The module holds each word high byte first; the CRC runs in that order.
        state = FeedByte(state, static_cast<uint8_t>(words[i] >> 8));
        state = FeedByte(state, static_cast<uint8_t>(words[i] & 0xFF));
    }
    return SwapBytes(state);
}
