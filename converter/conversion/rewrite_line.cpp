#include "converter/conversion/rewrite_line.h"

#include "converter/conversion/device_types.h"
#include "converter/conversion/exchange_calls.h"
#include "converter/conversion/ibs_renames.h"
#include "converter/conversion/module_addresses.h"
#include "converter/format/xef_line.h"

namespace vornick {

RewriteState startRewrite(const Inventory& inventory) {
    RewriteState state;
    state.ibyToIbsRenames = ibyToIbsRenames(inventory, state.ibyDioVarName);
    state.definedNames = DefinedNames(inventory);
    return state;
}

void rewriteProjectLine(RewriteState& state, const Inventory& inventory, std::string line,
                        std::vector<std::string>& out, ConversionLog& log) {
    if (holds(line, "<dataBlock>")) {
        state.inDataBlock = true;
    }
    if (holds(line, "</dataBlock>")) {
        state.inDataBlock = false;
    }
    ++state.lineNumber;
    const std::string definedName = DefinedNames::definedBy(line, state.inDataBlock);
    LineRenamer renamer(state.replacementCount, line.size());
    fillModuleIpAddresses(line, inventory, state.ibyDioVarName, renamer);
    const std::size_t first = out.size();
    exchangeCallsBefore(line, out);
    dropDeviceTypes(state, inventory, line, renamer, log);
    applyRenames(line, state.ibyToIbsRenames, renamer);
    renameSectionNames(line, inventory, renamer);
    if (renamer.overgrown() && state.overgrownLine == 0) {
        state.overgrownLine = state.lineNumber;
    }
    if (keepLine(state, line)) {
        if (!definedName.empty()) {
            state.definedNames.note(line, definedName, state.inDataBlock, state.lineNumber);
        }
        out.push_back(std::move(line));
    } else {
        // A marker inside a stretch that leaves the project takes its exchange call with it.
        out.resize(first);
    }
}

}  // namespace vornick
