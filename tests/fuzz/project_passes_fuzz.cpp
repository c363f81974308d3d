// The passes over the project file (module search, census, derived types, conversion loop with
// its rewriters, the scan for references left) over arbitrary lines: whatever a project holds,
// they end without a fault. Oracles: the census counts no more calls than the text can hold,
// and every reference the scan names stands in its line.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "extractor/loop/conversion_loop.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/passes/derived_types.h"
#include "extractor/passes/module_search.h"
#include "extractor/project/module_references.h"
#include "extractor/project/topo_address.h"

namespace {

class Services : public extractor::LoopServices {
  public:
    std::optional<extractor::ConversionFailure> decodeServiceFile(
        const extractor::ServiceFile& file, const extractor::ModuleContext&) override {
        // The rebuilt file holds one line per word and three per record at most.
        if (extractor::serviceFileLines(file.words).size() > 4 * file.words.size())
            __builtin_trap();
        return std::nullopt;
    }
    std::optional<extractor::ConversionFailure> readConfigurationProgram(
        const extractor::LineSink& line) override {
        line("<STSource>IBS_Manage_d0_s0.Entry := 0;");
        line("</STSource>");
        return std::nullopt;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    extractor::ModuleSearch search;
    size_t censusLines = 0;
    extractor::CensusPass census([&](std::string_view) { ++censusLines; });
    extractor::DerivedTypeCatalogue types;
    for (const std::string& line : lines) {
        search.line(line);
        census.line(line);
        types.line(line);
        extractor::parseTopoAddress(line);
    }
    search.finish();
    Services services;
    extractor::LoopSetup setup;
    setup.census = &census.census();
    setup.types = &types;
    setup.modules = search.modules();
    setup.services = &services;
    setup.ignoreStrings = size % 2 == 0;
    const extractor::LineSink ignore = [](std::string_view) {};
    std::vector<std::string> written;
    extractor::ConversionLoop loop(
        setup, {[&](std::string_view line) { written.emplace_back(line); }, ignore, ignore, ignore,
                ignore, ignore});
    for (const std::string& line : lines) {
        loop.line(line);
    }
    loop.finish();
    extractor::LeftReferenceScan scan(loop.module().rack, loop.module().slot);
    for (const std::string& line : written) {
        for (const std::string& reference : scan.line(line)) {
            if (reference.empty() || reference[0] != '%' ||
                line.find(reference) == std::string::npos) {
                __builtin_trap();
            }
        }
    }
    // A call needs at least its name and a bracket.
    if (censusLines > size / 9 + 1)
        __builtin_trap();
    return 0;
}
