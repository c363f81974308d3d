#pragma once

// The device data types T_IBY_DIO, T_IBY_DIO_IN and T_IBY_DIO_OUT that Fennick generated, and
// each module's device variable of type T_IBY_DIO, leave the project: the DTM brings its own
// device type and variable. Block parameters of type T_IBY_DIO take the first DTM's type.

#include <string>
#include <vector>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/inventory.h"
#include "converter/conversion/line_renamer.h"
#include "converter/conversion/rewrite_state.h"

namespace vornick {

// Marks the lines to leave out and renames T_IBY_DIO parameters; learns each module's device
// variable name. Called after the data-block flag is up to date for `line`.
void dropDeviceTypes(RewriteState& state, const Inventory& inventory, std::string& line,
                     LineRenamer& renamer, ConversionLog& log);

// The blocks whose device parameter took the first DTM's device type, under their new names.
std::vector<std::string> deviceTypedBlocks(const RewriteState& state);

// Whether `line` goes into the rewritten project; moves the skip state on.
bool keepLine(RewriteState& state, const std::string& line);

}  // namespace vornick
