// The passes of a conversion over a project file on disk, without the archive work: the module
// search with the census and the derived types in one read, then the conversion loop writing
// the rewritten project file. The decoder's part is a fixed configuration program.

#include <cstdio>
#include <string>

#include "extractor/loop/conversion_loop.h"
#include "extractor/passes/comm_call_census.h"
#include "extractor/passes/derived_types.h"
#include "extractor/passes/module_search.h"
#include "extractor/project/line_files.h"

namespace {

class FixedProgram : public extractor::LoopServices {
  public:
    std::optional<extractor::ConversionFailure> decodeServiceFile(
        const extractor::ServiceFile&, const extractor::ModuleContext&) override {
        return std::nullopt;
    }
    std::optional<extractor::ConversionFailure> readConfigurationProgram(
        const extractor::LineSink& line) override {
        line("\t<STSource>(* Configure PMEDWL Module *)");
        line("</STSource>");
        return std::nullopt;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fennick_passes <unitpro.xef> <rewritten.xef>\n");
        return 2;
    }
    int error = 0;
    extractor::ModuleSearch search;
    extractor::CensusPass census([](std::string_view) {});
    extractor::DerivedTypeCatalogue types;
    if (!extractor::forEachLine(
            argv[1],
            [&](std::string_view line) {
                search.line(line);
                census.line(line);
                types.line(line);
            },
            error)) {
        return 1;
    }
    search.finish();
    extractor::LineWriter out;
    if (!out.open(argv[2])) {
        return 1;
    }
    FixedProgram services;
    extractor::LoopSetup setup;
    setup.census = &census.census();
    setup.types = &types;
    setup.modules = search.modules();
    setup.services = &services;
    const extractor::LineSink ignore = [](std::string_view) {};
    extractor::ConversionLoop loop(setup, {out.sink(), ignore, ignore, ignore, ignore, ignore});
    extractor::forEachLine(
        argv[1], [&](std::string_view line) { loop.line(line); }, error);
    loop.finish();
    if (loop.failure()) {
        std::fprintf(stderr, "%s\n", loop.failure()->text.c_str());
        return 1;
    }
    return out.close() ? 0 : 1;
}
