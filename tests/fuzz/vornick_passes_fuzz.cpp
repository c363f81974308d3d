// Vornick's three passes over an arbitrary project file: the inventory and its checks, the
// device-variable match and the IBY-to-IBS rewrite. The rewrite runs whatever the checks say,
// so every rule meets every kind of line; it must end, and stay within its bounds. The attribute
// elements of each line, written back in the usual spelling, read back the same.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "converter/conversion/inventory_checks.h"
#include "converter/conversion/ioddt_match.h"
#include "converter/conversion/project_passes.h"
#include "converter/conversion/rewrite_line.h"
#include "converter/format/attribute_elements.h"

namespace {

void checkAttributeElements(const std::string& project) {
    std::istringstream in(project);
    for (std::string line; std::getline(in, line);) {
        for (const vornick::AttributeElement& element : vornick::attributeElements(line)) {
            // A text in single quotes may hold a double quote, which this spelling cannot.
            if (element.name.find('"') != std::string_view::npos ||
                element.value.find('"') != std::string_view::npos) {
                continue;
            }
            const std::string written = "<attribute name=\"" + std::string(element.name) +
                                        "\" value=\"" + std::string(element.value) + "\"/>";
            const auto again = vornick::attributeElements(written);
            if (again.size() != 1 || again[0].name != element.name ||
                again[0].value != element.value || again[0].hasValue != true) {
                __builtin_trap();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string project(reinterpret_cast<const char*>(data), size);
    checkAttributeElements(project);
    std::string report;
    std::ostream console(nullptr);
    vornick::ConversionLog log{report, console};

    vornick::Inventory inventory;
    {
        std::istringstream in(project);
        vornick::takeInventory(in, inventory, log);
    }
    vornick::checkInventory(inventory, "unitpro.xef");
    {
        std::istringstream in(project);
        vornick::IoddtMatch match;
        vornick::matchIoddtVariables(in, inventory, match, "unitpro.xef", log);
    }
    std::istringstream in(project);
    std::ostringstream out;
    vornick::RewriteState state = vornick::startRewrite(inventory);
    vornick::rewriteProject(in, out, inventory, state, log);
    // Names defined twice are told with the lines that define them.
    const std::string twice = state.definedNames.warning();
    if (!twice.empty() && twice.find(" line ") == std::string::npos) {
        __builtin_trap();
    }

    // Each line read gives at most three exchange calls and itself, each line bounded by the
    // renames' limit.
    const std::string written = out.str();
    std::size_t lines = 0;
    for (char c : written) {
        lines += c == '\n';
    }
    if (lines > 16 * (static_cast<std::size_t>(state.lineNumber) + 1)) {
        __builtin_trap();
    }
    return 0;
}
