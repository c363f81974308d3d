#pragma once

// "_init.xst": the structured-text exchange file whose section IBS_Init_d0_s0 loads the decoded
// configuration and map into IBS_Manage_d0_s0, has their checksums computed and hands them to
// the PMEDWL module every scan, followed by the section's variables and the IBS template set.

#include <ostream>

#include "svc/svc_decode_tables.h"
#include "svc/svc_load_section.h"

namespace svc {

// At most `limit` devices and `limit` map entries are written, each table then ends with its
// end entry.
void writeSvcInitXst(std::ostream& out, const SvcDeviceTable& devices, const SvcMapTable& map,
                     const SvcPcpMarkText& pcpMarkText, int limit);

}  // namespace svc
