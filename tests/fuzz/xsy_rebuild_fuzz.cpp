// The variables-export reader of the rebuild command over arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "dtmrepo/intake/xsy_rebuild.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const dtmrepo::XsyRebuild rebuilt =
        dtmrepo::rebuildFromVariablesExport(in, "c:\\fuzz\\", "16OCT2019");
    // Nothing is due before the description is named, and the cancel point lies in the report.
    if ((rebuilt.rootName.empty() && !rebuilt.lines.empty()) ||
        rebuilt.reportAtOutput > rebuilt.report.size())
        __builtin_trap();
    return 0;
}
