#include "converter/conversion/project_passes.h"

#include <string>
#include <vector>

#include "converter/conversion/inventory_line.h"
#include "converter/conversion/rewrite_line.h"
#include "toolshell/text_lines.h"

namespace vornick {

void takeInventory(std::istream& project, Inventory& inventory, ConversionLog& log) {
    std::string line;
    while (toolshell::readTextLine(project, line)) {
        takeInventoryLine(inventory, line, log);
    }
    log.say("");
    log.say("");
}

std::optional<IoddtFailure> matchIoddtVariables(std::istream& project, const Inventory& inventory,
                                                IoddtMatch& match, std::string_view xefReadFilename,
                                                ConversionLog& log) {
    std::string line;
    while (toolshell::readTextLine(project, line)) {
        if (auto failed = matchIoddtLine(match, inventory, line, xefReadFilename, log)) {
            return failed;
        }
    }
    if (auto failed = finishIoddtMatch(match, inventory, xefReadFilename, log)) {
        return failed;
    }
    log.say("");
    log.say("");
    return std::nullopt;
}

void rewriteProject(std::istream& project, std::ostream& rewritten, const Inventory& inventory,
                    RewriteState& state, ConversionLog& log) {
    std::string line;
    std::vector<std::string> out;
    while (toolshell::readTextLine(project, line)) {
        out.clear();
        rewriteProjectLine(state, inventory, std::move(line), out, log);
        for (const std::string& written : out) {
            toolshell::writeTextLine(rewritten, written);
        }
        // The next line is read into the storage of this one, not into a new allocation.
        if (!out.empty()) {
            line = std::move(out.back());
        }
    }
}

}  // namespace vornick
