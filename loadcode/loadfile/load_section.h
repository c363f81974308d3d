#pragma once

// Tamsel's form of the PLC load section: its names end in the DTM name, its DP_Word_Count
// lines carry no comment, and its map entries have comments of their own.

#include <string>

#include "svc/svc_load_section.h"

namespace loadcode {

svc::SvcSectionForm tamselSectionForm(const std::string& dtmName);

// The comments of an input, output or direct-link entry's five word lines.
svc::SvcReferenceComments tamselReferenceComments(const svc::SvcMapEntry& entry,
                                                  const svc::SvcDeviceTable& deviceTable);

}  // namespace loadcode
