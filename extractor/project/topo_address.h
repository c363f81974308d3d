#pragma once

// The topological address of a module in the configuration: the line
//   <equipInfo topoAddress="\<bus>\<rack>.<slot>" ...>
// names it; after the second backslash of the quoted value stand the rack, a full stop and the
// slot.

#include <optional>
#include <string>
#include <string_view>

namespace extractor {

struct ModuleAddress {
    int rack = 0;
    int slot = 0;
    std::string rackSlotText;  // the text after the second backslash, normally rack "." slot
};

inline constexpr std::string_view topoAddressKey = "<equipInfo topoAddress=";

// The module's address from its equipInfo line; nothing when the value lacks its two
// backslashes, the full stop, or the digits of rack or slot.
std::optional<ModuleAddress> parseTopoAddress(std::string_view line);

}  // namespace extractor
