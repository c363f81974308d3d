#pragma once

// "_LOAD.xst": the structured-text exchange file that loads a decoded bus into the PMEDWL
// module. Its section IBS_LOAD_<DTM name> fills IBS_Manage_<DTM name> with the devices and the
// process-data map when the PLC starts, has their checksums computed, and calls the transfer
// block on every scan; the data block declares the section's four variables, and the IBS
// template set follows with the device types named after the DTM name and the device pin
// DIOibs, so that Control Expert can import the file into a project as it is.

#include <array>
#include <ostream>
#include <string>

#include "svc/svc_decode_tables.h"

namespace loadcode {

// At most 511 devices and 511 map entries are written: the PLC arrays hold 512 entries, the
// end entry included.
void writeTamselLoadFile(std::ostream& out, const svc::SvcDeviceTable& deviceTable,
                         const svc::SvcMapTable& mapTable, const std::string& dtmName,
                         const std::array<std::string, 2>& pcpTags);

}  // namespace loadcode
