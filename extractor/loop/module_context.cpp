#include "extractor/loop/module_context.h"

namespace extractor {

std::string ModuleContext::suffix() const {
    return "_d" + std::to_string(rack) + "_s" + std::to_string(slot);
}

std::string ModuleContext::rackSlot() const {
    return std::to_string(rack) + "." + std::to_string(slot);
}

}  // namespace extractor
