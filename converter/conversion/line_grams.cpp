#include "converter/conversion/line_grams.h"

#include <algorithm>

namespace vornick {
namespace {

constexpr std::size_t gramLength = 3;

std::uint32_t folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte;
}

// One of 1024 bits for a run: its three folded characters, the first in the lowest byte.
std::uint16_t gramBit(std::uint32_t run) {
    return static_cast<std::uint16_t>((run * 2654435761u) >> 22);
}

// Calls `found` with the run ending at each character from the third on, each character folded
// once.
template <class Found>
void eachRun(std::string_view text, Found found) {
    std::uint32_t run = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        run = (run >> 8) | folded(text[at]) << 16;
        if (at + 1 >= gramLength) {
            found(run);
        }
    }
}

}  // namespace

GramKey gramKeyOf(std::string_view search) {
    GramKey key;
    eachRun(search, [&key](std::uint32_t run) { key.push_back(gramBit(run)); });
    // Each bit once; the order does not matter to the test.
    std::sort(key.begin(), key.end());
    key.erase(std::unique(key.begin(), key.end()), key.end());
    return key;
}

void LineGrams::take(std::string_view line) {
    bits_.fill(0);
    eachRun(line, [this](std::uint32_t run) {
        const std::uint16_t bit = gramBit(run);
        bits_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
    });
}

bool LineGrams::mayHold(const GramKey& key) const {
    return std::all_of(key.begin(), key.end(), [this](std::uint16_t bit) {
        return (bits_[bit >> 6] >> (bit & 63) & 1) != 0;
    });
}

}  // namespace vornick
