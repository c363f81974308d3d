#include "extractor/loop/conversion_loop.h"

#include "extractor/passes/module_search.h"
#include "extractor/project/line_text.h"

namespace extractor {

ConversionLoop::ConversionLoop(LoopSetup setup, LoopOutputs outputs)
    : setup_(setup), out_(std::move(outputs)) {}

void ConversionLoop::trace(std::string_view text) {
    if (setup_.debugLevel == 1 && setup_.trace != nullptr) {
        *setup_.trace << text << '\n';
    }
}

void ConversionLoop::line(std::string_view text) {
    if (failure_) {
        return;
    }
    // A "<moduleATS" line is kept until the next line tells which module it opens.
    if (pendingModuleHeader_) {
        const std::string header = std::move(*pendingModuleHeader_);
        pendingModuleHeader_.reset();
        chooseModule(header, text);
    } else if (holds(text, "<moduleATS")) {
        pendingModuleHeader_ = std::string(text);
        return;
    }
    if (holds(text, "</moduleATS")) {
        state_.block =
            state_.block == BlockState::ConvertedModule ? BlockState::Drop : BlockState::Copy;
        state_.state = LoopState::Copy;
    }
    handleState(text);
}

void ConversionLoop::chooseModule(std::string_view header, std::string_view next) {
    if (namesIby100Module(next)) {
        if (!state_.moduleConverted) {
            // The converted module's whole block leaves the project.
            state_.moduleConverted = true;
            state_.state = LoopState::ModuleHeader;
            state_.block = BlockState::ConvertedModule;
            trace(" ----------------  Found an IBY100 to parse  ---------------------");
            trace(next);
            trace(" ----------------    ---------------------");
            return;
        }
        state_.furtherModule = true;
        trace(" ----------------  Found an IBY100 to skip  ---------------------");
        trace(next);
        trace(" ----------------    ---------------------");
    }
    state_.state = LoopState::Copy;
    state_.block = BlockState::Copy;
    out_.project(header);
}

void ConversionLoop::handleState(std::string_view text) {
    switch (state_.state) {
        case LoopState::Copy:
            break;
        default:
            // Lines of the converted module's block produce nothing here.
            return;
    }
    if (state_.block == BlockState::Copy) {
        out_.project(text);
    } else if (state_.block == BlockState::Drop) {
        state_.block = BlockState::Copy;
    }
}

void ConversionLoop::finish() {
    if (pendingModuleHeader_) {
        out_.project(*pendingModuleHeader_);
        pendingModuleHeader_.reset();
    }
}

}  // namespace extractor
