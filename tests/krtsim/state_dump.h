#pragma once

// The module's state as plain text, for tests to assert on what really reached the
// module. The format is documented in krtsim_harness.h, which parses it.

#include <string>

#include "krt_module.h"

namespace krtsim {

std::string formatDump(const KrtModule& module, int sequence, int requestCount);

// Writes beside the target and renames, so that a reader never sees half a dump.
bool writeDumpFile(const std::string& path, const std::string& text);

}  // namespace krtsim
