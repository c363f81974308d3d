#pragma once

// The renames from the IBY_ code that Fennick generated for the TSXIBY100 module to the IBS_
// code of the PMEDWL module: the generic names first, then the IP placeholders of the
// communication calls, then each module's names, whose rack and slot suffix gives way to the
// name of its DTM entry.

#include <string>
#include <vector>

#include "converter/conversion/inventory.h"
#include "converter/conversion/line_renamer.h"
#include "converter/conversion/rewrite_state.h"

namespace vornick {

std::vector<RenamePair> ibyToIbsRenames(const Inventory& inventory,
                                        const ModuleTable<std::string>& ibyDioVarName);

// Applies the pairs in order, each on the result of the one before.
void applyRenames(std::string& line, const std::vector<RenamePair>& renames, LineRenamer& renamer);

}  // namespace vornick
