#pragma once

// Steps of the rewrite that fill in what only the DTM entries know: the module IP addresses in
// place of Fennick's placeholders, and the DTM names in the section names that carry a rack and
// slot.

#include <string>

#include "converter/conversion/inventory.h"
#include "converter/conversion/line_renamer.h"

namespace vornick {

// "PMEDWLIP1" and "PMEDWLIP2" become the IP addresses of the DTM entries at the places the
// blocks name for the first and second module. With one module, "PMEDWLIP2" takes the second
// DTM entry's start value, "Not yet set", which is also the start value of each device
// variable's name and so, while that name is not known, becomes the DTM's name. That happens
// here, at the placeholder only: "not yet set" in the user's own text stays.
void fillModuleIpAddresses(std::string& line, const Inventory& inventory,
                           const ModuleTable<std::string>& ibyDioVarName, LineRenamer& renamer);

// On a section description or section head line: "IBS_Data_IN_<rack>_<slot>",
// "IBS_Config_<rack>_<slot>" and "IBS_Data_OUT_<rack>_<slot>" take the module's DTM name.
void renameSectionNames(std::string& line, const Inventory& inventory, LineRenamer& renamer);

}  // namespace vornick
