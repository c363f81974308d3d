#include "converter/conversion/line_grams.h"

#include <algorithm>

namespace vornick {
namespace {

constexpr std::size_t gramLength = 3;

std::uint32_t folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? byte - ('a' - 'A') : byte;
}

// One of 1024 bits for the run starting at `at`.
std::uint16_t gramBit(std::string_view text, std::size_t at) {
    const std::uint32_t run =
        folded(text[at]) | folded(text[at + 1]) << 8 | folded(text[at + 2]) << 16;
    return static_cast<std::uint16_t>((run * 2654435761u) >> 22);
}

}  // namespace

GramKey gramKeyOf(std::string_view search) {
    GramKey key;
    for (std::size_t at = 0; at + gramLength <= search.size(); ++at) {
        key.push_back(gramBit(search, at));
    }
    // Each bit once; the order does not matter to the test.
    std::sort(key.begin(), key.end());
    key.erase(std::unique(key.begin(), key.end()), key.end());
    return key;
}

void LineGrams::take(std::string_view line) {
    bits_.fill(0);
    for (std::size_t at = 0; at + gramLength <= line.size(); ++at) {
        const std::uint16_t bit = gramBit(line, at);
        bits_[bit >> 6] |= std::uint64_t{1} << (bit & 63);
    }
}

bool LineGrams::mayHold(const GramKey& key) const {
    return std::all_of(key.begin(), key.end(), [this](std::uint16_t bit) {
        return (bits_[bit >> 6] >> (bit & 63) & 1) != 0;
    });
}

}  // namespace vornick
