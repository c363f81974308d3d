#include "extractor/project/topo_address.h"

#include "extractor/project/line_text.h"

namespace extractor {

std::optional<ModuleAddress> parseTopoAddress(std::string_view line) {
    const std::string_view value = firstQuotedValue(line);
    const std::size_t first = value.find('\\');
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t second = value.find('\\', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view address = value.substr(second + 1);
    const std::size_t dot = address.find('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view rack = address.substr(0, dot);
    const std::string_view slot = address.substr(dot + 1);
    if (!startsWithDigit(rack) || !startsWithDigit(slot)) {
        return std::nullopt;
    }
    ModuleAddress module;
    module.rack = static_cast<int>(leadingNumber(rack));
    module.slot = static_cast<int>(leadingNumber(slot));
    module.rackSlotText = std::string(address);
    return module;
}

}  // namespace extractor
