// The device-replacement file decoder over arbitrary bytes, reports included.

#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>

#include "fdr/prm/decode_prm_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fdr::ReportTexts reports{};
    std::ostringstream trace;
    const fdr::PrmContent content = fdr::decodePrmFile(std::span<const uint8_t>(data, size),
                                                       "f_PMEKRT_IBS.prm", reports, trace);
    // A zero byte would cut the report short in the window.
    for (const std::string& report : reports) {
        if (report.find('\0') != std::string::npos)
            __builtin_trap();
    }
    // Nothing is decoded from bytes the file does not have.
    if (content.assemblies.size() * 16 > size || content.variables.size() * 4 > size)
        __builtin_trap();
    return 0;
}
