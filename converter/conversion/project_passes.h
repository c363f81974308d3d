#pragma once

// The three passes over the project file, each reading it line by line from a stream, so that
// a project of any size is never held whole.

#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/inventory.h"
#include "converter/conversion/ioddt_match.h"
#include "converter/conversion/rewrite_state.h"

namespace vornick {

// First pass: the inventory of modules, IBY declarations and DTM entries.
void takeInventory(std::istream& project, Inventory& inventory, ConversionLog& log);

// Second pass: the device variables of the DTM entries. Stops at the first failed check; a
// file whose data block never closed is checked at its end.
std::optional<IoddtFailure> matchIoddtVariables(std::istream& project, const Inventory& inventory,
                                                IoddtMatch& match, std::string_view xefReadFilename,
                                                ConversionLog& log);

// Third pass: the rewritten project, written with CR LF line ends.
void rewriteProject(std::istream& project, std::ostream& rewritten, const Inventory& inventory,
                    RewriteState& state, ConversionLog& log);

}  // namespace vornick
