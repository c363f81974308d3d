#include "loop_fixture.h"

#include <algorithm>

#include "extractor/passes/module_search.h"

namespace fennick_test {

namespace {

class FakeServices : public extractor::LoopServices {
  public:
    explicit FakeServices(LoopRun& run) : run_(run) {}
    std::optional<extractor::ConversionFailure> decodeServiceFile(
        const extractor::ServiceFile& file, const extractor::ModuleContext&) override {
        run_.decoded.push_back(file);
        return std::nullopt;
    }
    std::optional<extractor::ConversionFailure> readConfigurationProgram(
        const extractor::LineSink& line) override {
        if (run_.decoded.empty()) {
            return extractor::ConversionFailure{"(45) Unable to open x_init.xst Err = 2", "OK"};
        }
        for (const char* text :
             {"<?xml version=\"1.0\"?>", "\t<program>", "\t<STSource>(* Configure *)",
              "\tIBS_Manage_d0_s0.Entry := 0;", "\tIBS_Layout_CRC_d0_s0 (IBS_Manage_d0_s0);",
              "IBS_Layout_Xfer_d0_s0 (IBS_d0_s0, IBS_Manage_d0_s0); (* PMEDWL_RR_SS *)",
              "</STSource>", "\t</program>", "<FBSource>", "<STSource>(* not copied *)",
              "</STSource>"}) {
            line(text);
        }
        return std::nullopt;
    }

  private:
    LoopRun& run_;
};

}  // namespace

int LoopRun::count(const std::string& line) const {
    return static_cast<int>(std::count(project.begin(), project.end(), line));
}

int LoopRun::indexOf(const std::string& line) const {
    const auto at = std::find(project.begin(), project.end(), line);
    return at == project.end() ? -1 : static_cast<int>(at - project.begin());
}

LoopRun runLoop(const std::vector<std::string>& lines, std::string ignore, std::ostream* trace) {
    LoopRun run;
    extractor::ModuleSearch search;
    extractor::CensusPass census([](std::string_view) {});
    for (const std::string& line : lines) {
        search.line(line);
        census.line(line);
    }
    FakeServices services(run);
    extractor::LoopSetup setup;
    setup.census = &census.census();
    setup.modules = search.modules();
    setup.services = &services;
    setup.ignoreStrings = ignore == "1";
    if (trace != nullptr) {
        setup.debugLevel = 1;
        setup.trace = trace;
        setup.console = trace;
    }
    const auto into = [](std::vector<std::string>& list) {
        return [&list](std::string_view line) { list.emplace_back(line); };
    };
    extractor::ConversionLoop loop(
        setup, {into(run.project), into(run.results), [](std::string_view) {},
                [](std::string_view) {}, into(run.sortedInputs), into(run.sortedOutputs)});
    for (const std::string& line : lines) {
        loop.line(line);
    }
    loop.finish();
    run.failure = loop.failure();
    run.furtherModule = loop.furtherModule();
    run.module = loop.module();
    run.counters = loop.counters();
    return run;
}

}  // namespace fennick_test
