#pragma once

// The conversion loop run over lines in memory, with a stand-in for the decoder whose
// configuration program uses the decoder's module names.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "extractor/loop/conversion_loop.h"
#include "extractor/passes/comm_call_census.h"

namespace fennick_test {

struct LoopRun {
    std::vector<std::string> project;
    std::vector<std::string> results;
    std::vector<std::string> sortedInputs;
    std::vector<std::string> sortedOutputs;
    std::vector<extractor::ServiceFile> decoded;
    std::optional<extractor::ConversionFailure> failure;
    bool furtherModule = false;
    extractor::ModuleContext module;
    extractor::ConversionCounters counters;

    int count(const std::string& line) const;
    int indexOf(const std::string& line) const;  // -1 when absent
};

// Runs the census and then the loop over the lines, as a pass does; with a trace stream, at
// debug level 1.
LoopRun runLoop(const std::vector<std::string>& lines, std::string ignore = "0",
                std::ostream* trace = nullptr);

}  // namespace fennick_test
