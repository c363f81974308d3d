#include "extractor/passes/module_search.h"

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

std::string missingAddressText(int module) {
    return "TSXIBY100 module " + decimal(module) +
           " has no topological address (no equipInfo topoAddress line).";
}

}  // namespace

bool namesIby100Module(std::string_view line) {
    return holds(line, "TSXIBY100") && holds(line, "partNumber=");
}

void ModuleSearch::finish() {
    if (where_ == Where::InModule && !addressSeen_ && error_.empty()) {
        error_ = missingAddressText(moduleCount_);
    }
}

void ModuleSearch::line(std::string_view text) {
    ++lineNumber_;
    if (firstNamingLine_ == 0 && holds(text, "TSXIBY100")) {
        firstNamingLine_ = lineNumber_;
    }
    switch (where_) {
        case Where::AfterModuleHeader:
            if (namesIby100Module(text)) {
                where_ = Where::InModule;
                addressSeen_ = false;
                ++moduleCount_;
                return;
            }
            where_ = Where::Outside;
            break;
        case Where::InModule:
            if (holds(text, "</moduleATS")) {
                if (!addressSeen_ && error_.empty()) {
                    error_ = missingAddressText(moduleCount_);
                }
                where_ = Where::Outside;
                return;
            }
            if (!addressSeen_ && holds(text, topoAddressKey)) {
                addressSeen_ = true;
                const auto address = parseTopoAddress(text);
                if (!address) {
                    if (error_.empty()) {
                        error_ = "Malformed topological address of TSXIBY100 module " +
                                 decimal(moduleCount_) + ": " + std::string(text);
                    }
                } else if (moduleCount_ <= maxModules) {
                    modules_.push_back(*address);
                }
            }
            return;
        case Where::Outside:
            break;
    }
    if (holds(text, "<moduleATS")) {
        where_ = Where::AfterModuleHeader;
    }
}

}  // namespace extractor
