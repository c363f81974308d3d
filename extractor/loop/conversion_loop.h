#pragma once

// The conversion loop: one pass from the project file to the rewritten project file. It
// converts the first TSXIBY100 module of the configuration, leaves every later one in place
// for the second pass, and hands each line to the step that owns it.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "extractor/loop/conversion_state.h"
#include "extractor/project/conversion_failure.h"
#include "extractor/project/line_files.h"

namespace extractor {

struct LoopOutputs {
    LineSink project;  // the rewritten project file
    LineSink results;  // warnings for the results file
};

struct LoopSetup {
    int debugLevel = 4;
    std::ostream* trace = nullptr;  // trace lines when debugLevel is 1
};

class ConversionLoop {
  public:
    ConversionLoop(LoopSetup setup, LoopOutputs outputs);

    void line(std::string_view text);
    // After the last line: what the project lacked, if anything.
    void finish();

    const std::optional<ConversionFailure>& failure() const { return failure_; }
    bool furtherModule() const { return state_.furtherModule; }
    bool moduleConverted() const { return state_.moduleConverted; }

  private:
    void trace(std::string_view text);
    void chooseModule(std::string_view header, std::string_view next);
    void handleState(std::string_view text);

    LoopSetup setup_;
    LoopOutputs out_;
    ConversionState state_;
    std::optional<std::string> pendingModuleHeader_;
    std::optional<ConversionFailure> failure_;
};

}  // namespace extractor
