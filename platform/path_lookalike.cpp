#include "platform/path_lookalike.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace platform {

namespace {

// Code points that Windows' best-fit tables (and the look of the text) take for a path's own
// characters. Sorted.
constexpr std::array<uint32_t, 17> kLookAlikes = {
    0x2024,  // ONE DOT LEADER -> .
    0x2025,  // TWO DOT LEADER -> ..
    0x2044,  // FRACTION SLASH -> /
    0x2215,  // DIVISION SLASH -> /
    0x2216,  // SET MINUS -> backslash
    0x2236,  // RATIO -> :
    0x29F5,  // REVERSE SOLIDUS OPERATOR -> backslash
    0x29F8,  // BIG SOLIDUS -> /
    0x29F9,  // BIG REVERSE SOLIDUS -> backslash
    0xFE13,  // PRESENTATION FORM FOR VERTICAL COLON -> :
    0xFE52,  // SMALL FULL STOP -> .
    0xFE55,  // SMALL COLON -> :
    0xFE68,  // SMALL REVERSE SOLIDUS -> backslash
    0xFF0E,  // FULLWIDTH FULL STOP -> .
    0xFF0F,  // FULLWIDTH SOLIDUS -> /
    0xFF1A,  // FULLWIDTH COLON -> :
    0xFF3C,  // FULLWIDTH REVERSE SOLIDUS -> backslash
};

}  // namespace

bool HoldsPathLookAlike(std::string_view name) {
    // Every look-alike lies in U+2000-U+FFFF: a three-byte sequence E2-EF xx xx.
    for (size_t i = 0; i + 2 < name.size(); ++i) {
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead < 0xE2 || lead > 0xEF) {
            continue;
        }
        const auto second = static_cast<unsigned char>(name[i + 1]);
        const auto third = static_cast<unsigned char>(name[i + 2]);
        if ((second & 0xC0) != 0x80 || (third & 0xC0) != 0x80) {
            continue;
        }
        const uint32_t code = (uint32_t{lead & 0x0Fu} << 12) | (uint32_t{second & 0x3Fu} << 6) |
                              uint32_t{third & 0x3Fu};
        if (std::binary_search(kLookAlikes.begin(), kLookAlikes.end(), code)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
