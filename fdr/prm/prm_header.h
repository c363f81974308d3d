#pragma once

// The fixed header and the ready header of a device-replacement file: 188 bytes from the
// start of the file, field by field, with the way each field is shown.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "fdr/prm/prm_bytes.h"

namespace fdr {

inline constexpr std::size_t prmHeaderSize = 188;  // the section table follows

enum class FieldShow {
    HexBigEndian32,  // 8 hex digits of a big-endian 32-bit number
    Text,            // characters, zero bytes left out
    RawText,         // characters, every byte kept
    HexBytes,        // each byte as 2 hex digits, in file order
    Date,            // byte 1 " / " byte 0 " / " 16-bit year
    Time,            // byte 3 ":" byte 2 ":" byte 1 (byte 0 not shown)
    NibbleVersion,   // high nibble "." low nibble of byte 0 "." byte 1
    Unsigned16,
    Signed32,
    Hex16,    // 4 hex digits of the 16-bit number + "h"
    Binary8,  // byte 0 in binary, at least 5 digits, + "b"
};

struct HeaderField {
    std::size_t offset;
    std::size_t size;
    std::string_view name;
    FieldShow show;
};

// The header's fields in file order.
std::span<const HeaderField> prmHeaderFields();

// The fields that the reports show besides the checksums.
inline constexpr HeaderField configDateField{32, 4, "ConfigDate", FieldShow::Date};
inline constexpr HeaderField configTimeField{36, 4, "ConfigTime", FieldShow::Time};
inline constexpr HeaderField creatorVersionField{56, 2, "ConfigCreatorVersion",
                                                 FieldShow::NibbleVersion};
inline constexpr HeaderField configFileSizeField{60, 4, "configfilesize", FieldShow::Signed32};
inline constexpr std::size_t sectionCountOffset = 68;

// The field as the trace and the reports show it.
std::string showHeaderField(const PrmBytes& file, const HeaderField& field);

bool isTextField(const HeaderField& field);

}  // namespace fdr
