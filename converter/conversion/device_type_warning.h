#pragma once

// The blocks that take a DTM's device variable as their device parameter are shared by both
// modules, and their parameter takes the first DTM's device type. When the second DTM's device
// variable is of another type, the second module's calls of those blocks do not build: the
// user must know which blocks need a hand fix.

#include <string>
#include <vector>

#include "converter/conversion/inventory.h"
#include "converter/conversion/ioddt_match.h"

namespace vornick {

// The warning's text, or an empty text when nothing needs a hand fix. `blocks`: the blocks whose
// device parameter took the first DTM's type, under their new names.
std::string deviceTypeWarning(const Inventory& inventory, const IoddtMatch& match,
                              const std::vector<std::string>& blocks);

}  // namespace vornick
