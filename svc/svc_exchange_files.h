#pragma once

// The two variables exchange files of the decoder: "_config.xsy" with one element of
// IBS_Config_d0_s0 per device, "_map.xsy" with one element of IBS_Map_d0_s0 per map entry. Both
// also carry the earlier versions of the IBS types that those variables were declared with.

#include <ostream>

#include "svc/svc_decode_tables.h"

namespace svc {

// At most `limit` elements are written: the PLC array has a fixed number of places.
void writeSvcConfigXsy(std::ostream& out, const SvcDeviceTable& devices, int limit);
void writeSvcMapXsy(std::ostream& out, const SvcMapTable& map, int limit);

}  // namespace svc
