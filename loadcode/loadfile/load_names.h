#pragma once

// Every name that the load file generates ends in the DTM name, the name that the PMEDWL module
// bears in the Control Expert DTM browser; the DTM name itself names the device variable.

#include <string>
#include <string_view>

#include "svc/svc_load_section.h"

namespace loadcode {

// The section, the variables and the commented command-bit lines of a DTM name.
svc::SvcSectionNames tamselSectionNames(const std::string& dtmName);

// Whether the DTM name makes PLC names of every generated name: a letter first, then letters,
// digits and underscores, never two underscores in a row nor one at the end (the name is
// joined to others with underscores: "IBS_Manage_" + name, "T_" + name + "_IN").
bool isPlcNamePart(std::string_view dtmName);

}  // namespace loadcode
