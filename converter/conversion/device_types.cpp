#include "converter/conversion/device_types.h"

#include "converter/conversion/ibs_renames.h"
#include "converter/format/xef_line.h"

namespace vornick {
namespace {

bool closesOnItsLine(const std::string& line) {
    if (holds(line, "</variables>")) {
        return true;
    }
    const std::size_t last = line.find_last_not_of(" \t");
    return last != std::string::npos && last > 0 && line.compare(last - 1, 2, "/>") == 0;
}

void dropDeviceVariable(RewriteState& state, const Inventory& inventory, const std::string& line,
                        ConversionLog& log) {
    log.say(" ************* Found IBY_dx_Sy variable ****************************");
    for (int k = 1; k <= inventory.ibyCount && k <= maxModules; ++k) {
        if (!holdsKey(line, inventory.ibySuffix[k])) {
            continue;
        }
        log.say("    IBY number = " + std::to_string(k));
        log.say("    DTM Name = " + inventory.dtmEntryName[k]);
        state.ibyDioVarName[k] = attributeValue(line, " name=");
        state.ibyToIbsRenames = ibyToIbsRenames(inventory, state.ibyDioVarName);
        // A declaration with a comment or an initial value spans several lines; all of them go.
        state.skipState = closesOnItsLine(line) ? Skip::ThisLine : Skip::ThroughVariableEnd;
    }
}

// The source a parameter line belongs to: blocks and types each open with their name.
void noteSource(RewriteState& state, const std::string& line) {
    if (holds(line, "<FBSource nameOfFBType=")) {
        state.currentSource = attributeValue(line, " nameOfFBType=");
    } else if (holds(line, "<DDTSource DDTName=")) {
        state.currentSource = attributeValue(line, " DDTName=");
    }
}

}  // namespace

std::vector<std::string> deviceTypedBlocks(const RewriteState& state) {
    std::vector<std::string> names;
    int uncounted = 0;
    for (std::string name : state.deviceTypedSources) {
        LineRenamer renamer(uncounted, name.size());
        applyRenames(name, state.ibyToIbsRenames, renamer);
        names.push_back(std::move(name));
    }
    return names;
}

void dropDeviceTypes(RewriteState& state, const Inventory& inventory, std::string& line,
                     LineRenamer& renamer, ConversionLog& log) {
    noteSource(state, line);
    // Inside lines that are already being left out, nothing starts a new stretch: it would end
    // the one in progress too early.
    const bool skipping = state.skipState != Skip::None;
    if (holds(line, "<DDTSource DDTName=") && holds(line, "T_IBY_DIO") && !skipping) {
        state.skipState = Skip::ThroughDdtEnd;
        log.say("");
        log.say(" ------------ Found T_IBY -----------------");
        log.say(line);
        log.say("===============================================");
    }
    if (holds(line, "<variables") && holds(line, "T_IBY_DIO")) {
        if (state.inDataBlock) {
            if (!skipping) {
                dropDeviceVariable(state, inventory, line, log);
            }
        } else {
            renamer.rename(line, "T_IBY_DIO", "T_" + inventory.dtmEntryName[1]);
            // A parameter of a source that leaves the project (the device types' own members)
            // types nothing.
            if (!skipping && !state.currentSource.empty() &&
                (state.deviceTypedSources.empty() ||
                 state.deviceTypedSources.back() != state.currentSource)) {
                state.deviceTypedSources.push_back(state.currentSource);
            }
        }
    }
}

bool keepLine(RewriteState& state, const std::string& line) {
    switch (state.skipState) {
        case Skip::None:
            return true;
        case Skip::ThisLine:
            state.skipState = Skip::None;
            return false;
        case Skip::ThroughDdtEnd:
            if (holds(line, "</DDTSource>")) {
                state.skipState = Skip::None;
            }
            return false;
        case Skip::ThroughVariableEnd:
            if (holds(line, "</variables>")) {
                state.skipState = Skip::None;
            }
            return false;
    }
    return true;
}

}  // namespace vornick
