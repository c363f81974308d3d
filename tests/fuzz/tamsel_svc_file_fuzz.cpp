// Tamsel's whole decode of a service file: listing, load file and summary rows. A file read
// whole gives a load file that is one exchange-file element and ends its map with PDR_Index 0.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "loadcode/decoding/tamsel_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream listing;
    std::ostringstream loadFile;
    std::ostringstream console;
    const loadcode::TamselDecodeOutcome outcome =
        loadcode::decodeTamselService(input, listing, loadFile, console, "PMEDWL", {"", "PCP"});
    const std::string load = loadFile.str();
    if (outcome.complete()) {
        if (load.rfind("<?xml", 0) != 0 || load.find("</STExchangeFile>\r\n") + 19 != load.size() ||
            load.find(".PDR_Index := 16#0000;\t\t(* End of Map *)") == std::string::npos) {
            __builtin_trap();
        }
    } else if (!load.empty()) {
        __builtin_trap();  // nothing is written for a file that was not read whole
    }
    return 0;
}
