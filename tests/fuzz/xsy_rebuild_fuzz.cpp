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
    // The cancel point lies in the report, and every label line is one the install reads as a
    // label: no comma after its language field.
    if (rebuilt.reportAtOutput > rebuilt.report.size())
        __builtin_trap();
    const std::string label = "\tvarLabel,en-us,\t";
    for (const std::string& line : rebuilt.lines) {
        if (line.rfind(label, 0) == 0 && line.find(',', label.size()) != std::string::npos)
            __builtin_trap();
    }
    return 0;
}
