// The passes over the project file (module search, census, conversion loop) over arbitrary
// lines: whatever a project holds, they end without a fault.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "extractor/loop/conversion_loop.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/passes/module_search.h"
#include "extractor/project/topo_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    extractor::ModuleSearch search;
    size_t censusLines = 0;
    extractor::CensusPass census([&](std::string_view) { ++censusLines; });
    size_t written = 0;
    extractor::ConversionLoop loop(
        {}, {[&](std::string_view line) { written += line.size(); }, [](std::string_view) {}});
    size_t lines = 0;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++lines;
        search.line(line);
        census.line(line);
        loop.line(line);
        extractor::parseTopoAddress(line);
    }
    search.finish();
    loop.finish();
    // At most three calls are counted per line.
    if (censusLines > 3 * lines)
        __builtin_trap();
    return 0;
}
