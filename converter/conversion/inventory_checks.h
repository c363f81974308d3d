#pragma once

// The checks after the first pass: the project must hold one or two PMEDWL modules, as many DTM
// entries and IBY device declarations, each entry complete, each DTM entry at the rack and slot
// of its module, and an IBY declaration at the rack and slot of each DTM entry.

#include <optional>
#include <string>
#include <string_view>

#include "converter/conversion/inventory.h"

namespace vornick {

// Runs the checks in order and returns the text of the first that fails. When all pass, the
// IBY tables are put in the order of the DTM entries, so that index k names one module's IBY
// declaration, DTM entry and module throughout the rest of the conversion.
std::optional<std::string> checkInventory(Inventory& inventory, std::string_view xefReadFilename);

}  // namespace vornick
