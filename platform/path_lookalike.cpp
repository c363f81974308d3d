#include "platform/path_lookalike.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace platform {

namespace {

// Where this list comes from. The best-fit conversion is Windows' WideCharToMultiByte without
// WC_NO_BEST_FIT_CHARS. Its mapping for every BMP character was listed by asking that call, one
// character at a time, under each Windows ANSI code page (874, 932, 936, 949, 950, 1250 to
// 1258), on the Windows layer of this build machine (Wine, whose code-page tables carry the
// published best-fit data); each character whose single result byte is one of \ / : * ? " < > |
// or "." without being the default character is below, with the pages that map it. A best fit
// to "?" cannot be told from the default character that way: the fullwidth and small question
// marks are here because every other fullwidth and small form of those characters best-fits to
// its ASCII twin. Added to that, the characters whose compatibility form (Unicode NFKC) is made
// only of those characters (leaders, small and vertical forms), and the solidus operators that
// read as separators. The horizontal ellipsis is not here: every ANSI code page holds it
// exactly, so no conversion turns it into points. Sorted, for the binary search.
constexpr std::array<uint32_t, 55> kLookAlikes = {
    0x00A5,  // YEN SIGN -> \ (932)
    0x00A6,  // BROKEN BAR -> | (932, 936, 949, 950)
    0x00B4,  // ACUTE ACCENT -> / (1253)
    0x01C0,  // LATIN LETTER DENTAL CLICK -> | (1250, 1252, 1254)
    0x02BA,  // MODIFIER LETTER DOUBLE PRIME -> " (1250, 1252, 1254)
    0x030E,  // COMBINING DOUBLE VERTICAL LINE ABOVE -> " (1250, 1252)
    0x0589,  // ARMENIAN FULL STOP -> : (1250, 1252, 1254)
    0x2024,  // ONE DOT LEADER -> . (compatibility form)
    0x2025,  // TWO DOT LEADER -> .. (compatibility form)
    0x2044,  // FRACTION SLASH -> / (1250, 1252, 1254)
    0x2047,  // DOUBLE QUESTION MARK -> ?? (compatibility form)
    0x20A9,  // WON SIGN -> \ (949)
    0x2190,  // LEFTWARDS ARROW -> < (1251, 1253)
    0x2192,  // RIGHTWARDS ARROW -> > (1251, 1253)
    0x2195,  // UP DOWN ARROW -> | (1250, 1254)
    0x21A8,  // UP DOWN ARROW WITH BASE -> | (1250, 1254)
    0x2215,  // DIVISION SLASH -> / (1250, 1252, 1254)
    0x2216,  // SET MINUS -> \ (1250, 1252, 1254)
    0x2217,  // ASTERISK OPERATOR -> * (1250, 1252, 1254)
    0x2223,  // DIVIDES -> | (1250, 1252, 1254)
    0x2236,  // RATIO -> : (1250, 1252, 1254)
    0x2329,  // LEFT-POINTING ANGLE BRACKET -> < (1250, 1252, 1254)
    0x232A,  // RIGHT-POINTING ANGLE BRACKET -> > (1250, 1252, 1254)
    0x25BA,  // BLACK RIGHT-POINTING POINTER -> > (1250, 1251, 1253, 1254)
    0x25C4,  // BLACK LEFT-POINTING POINTER -> < (1250, 1251, 1253, 1254)
    0x2642,  // MALE SIGN -> > (1250, 1251, 1253, 1254)
    0x2758,  // LIGHT VERTICAL BAR -> | (1250, 1252, 1254)
    0x29F5,  // REVERSE SOLIDUS OPERATOR -> \ (reads as one)
    0x29F8,  // BIG SOLIDUS -> / (reads as one)
    0x29F9,  // BIG REVERSE SOLIDUS -> \ (reads as one)
    0x3008,  // LEFT ANGLE BRACKET -> < (1250, 1252, 1254)
    0x3009,  // RIGHT ANGLE BRACKET -> > (1250, 1252, 1254)
    0x301D,  // REVERSED DOUBLE PRIME QUOTATION MARK -> " (1254)
    0x301E,  // DOUBLE PRIME QUOTATION MARK -> " (1254)
    0xFE13,  // PRESENTATION FORM FOR VERTICAL COLON -> : (compatibility form)
    0xFE16,  // PRESENTATION FORM FOR VERTICAL QUESTION MARK -> ? (compatibility form)
    0xFE19,  // PRESENTATION FORM FOR VERTICAL HORIZONTAL ELLIPSIS -> ... (compatibility form)
    0xFE30,  // PRESENTATION FORM FOR VERTICAL TWO DOT LEADER -> .. (compatibility form)
    0xFE52,  // SMALL FULL STOP -> . (compatibility form)
    0xFE55,  // SMALL COLON -> : (compatibility form)
    0xFE56,  // SMALL QUESTION MARK -> ? (compatibility form)
    0xFE61,  // SMALL ASTERISK -> * (compatibility form)
    0xFE64,  // SMALL LESS-THAN SIGN -> < (compatibility form)
    0xFE65,  // SMALL GREATER-THAN SIGN -> > (compatibility form)
    0xFE68,  // SMALL REVERSE SOLIDUS -> \ (compatibility form)
    0xFF02,  // FULLWIDTH QUOTATION MARK -> " (874, 1250 to 1258)
    0xFF0A,  // FULLWIDTH ASTERISK -> * (874, 1250 to 1258)
    0xFF0E,  // FULLWIDTH FULL STOP -> . (874, 1250 to 1258)
    0xFF0F,  // FULLWIDTH SOLIDUS -> / (874, 1250 to 1258)
    0xFF1A,  // FULLWIDTH COLON -> : (874, 1250 to 1258)
    0xFF1C,  // FULLWIDTH LESS-THAN SIGN -> < (874, 1250 to 1258)
    0xFF1E,  // FULLWIDTH GREATER-THAN SIGN -> > (874, 1250 to 1258)
    0xFF1F,  // FULLWIDTH QUESTION MARK -> ? (its fullwidth neighbours)
    0xFF3C,  // FULLWIDTH REVERSE SOLIDUS -> \ (874, 1250 to 1258)
    0xFF5C,  // FULLWIDTH VERTICAL LINE -> | (874, 1250 to 1258)
};

static_assert(std::is_sorted(kLookAlikes.begin(), kLookAlikes.end()));

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0u) == 0x80u;
}

}  // namespace

bool HoldsPathLookAlike(std::string_view name) {
    // Every look-alike lies in U+00A5-U+FFFF: a two-byte sequence C2-DF xx or a three-byte
    // one E0-EF xx xx. ASCII bytes, and sequences that are not UTF-8, are passed over.
    for (size_t i = 0; i < name.size(); ++i) {
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead < 0xC2 || lead > 0xEF) {
            continue;
        }
        uint32_t code = 0;
        if (lead <= 0xDF) {
            if (i + 1 >= name.size() || !IsContinuation(static_cast<unsigned char>(name[i + 1]))) {
                continue;
            }
            code = (uint32_t{lead & 0x1Fu} << 6) |
                   uint32_t{static_cast<unsigned char>(name[i + 1]) & 0x3Fu};
        } else {
            if (i + 2 >= name.size()) {
                continue;
            }
            const auto second = static_cast<unsigned char>(name[i + 1]);
            const auto third = static_cast<unsigned char>(name[i + 2]);
            if (!IsContinuation(second) || !IsContinuation(third)) {
                continue;
            }
            code = (uint32_t{lead & 0x0Fu} << 12) | (uint32_t{second & 0x3Fu} << 6) |
                   uint32_t{third & 0x3Fu};
        }
        if (std::binary_search(kLookAlikes.begin(), kLookAlikes.end(), code)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
