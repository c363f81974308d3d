#pragma once

// The third pass, one line at a time, in the order its steps must run: the data-block flag,
// the module IP addresses, the exchange calls at the communication markers, the device types
// and variables that leave the project, the IBY_ to IBS_ renames and the section names.

#include <string>
#include <vector>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/inventory.h"
#include "converter/conversion/rewrite_state.h"

namespace vornick {

// The state at the start of the pass, with its renames made from the inventory.
RewriteState startRewrite(const Inventory& inventory);

// Appends to `out` the lines that take the place of `line` in the rewritten project: none for a
// line left out, else any exchange calls and then the rewritten line.
void rewriteProjectLine(RewriteState& state, const Inventory& inventory, std::string line,
                        std::vector<std::string>& out, ConversionLog& log);

}  // namespace vornick
