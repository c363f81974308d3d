#include "converter/conversion/ibs_renames.h"

#include <string_view>

namespace vornick {
namespace {

// Generic names, in the order they must be applied: IBY_Update_Module before IBY_Module, and
// the longer IODDT names after IBY_IODDT has already taken them.
constexpr std::pair<std::string_view, std::string_view> genericRenames[] = {
    {"IBY_Channel", "IBS_Channel"},
    {"IBY_Update_Module", "IBS_Update_Module"},
    {"IBY_Update_Channel", "IBS_Update_Channel"},
    {"IBY_Module", "IBS_Module"},
    {"IBY_Manage", "IBS_Manage"},
    {"IBY_Layout_Xfer", "IBS_Layout_Xfer"},
    {"IBY_IODDT", "IBS_IODDT"},
    {"IBY_Data", "IBS_IODDT"},
    {"IBY_Config", "IBS_Config"},
    {"IBY_Map", "IBS_Map"},
    {"DIOiby", "DIOibs"},
    {"IBY_DIO", "IBS_DIO"},
    {"IBY_LOAD", "IBS_LOAD"},
    {"IBY_IN", "IBS_IN"},
    {"IBY_OUT", "IBS_OUT"},
};

constexpr std::pair<std::string_view, std::string_view> communicationRenames[] = {
    {"IBY_Manage", "IBS_Manage"},         {"IBY_SEND_REQ", "IBS_SEND_REQ"},
    {"IBY_READ_VAR", "IBS_READ_VAR"},     {"IBY_WRITE_VAR", "IBS_WRITE_VAR"},
    {"IBY_Layout_CRC", "IBS_Layout_CRC"}, {"IBY_Layout_Xfer", "IBS_Layout_Xfer"},
    {"IBY_IODDT_IN", "IBS_IODDT_IN"},     {"IBY_IODDT_OUT", "IBS_IODDT_OUT"},
};

// The IP placeholder texts of the communication calls, each followed by the module's rack and
// "_s" and its slot.
constexpr std::string_view ipPlaceholderKeys[] = {"IBYREADVARIPd", "IBYWRITEVARIPd",
                                                  "IBYSENDREQIPd"};

// Per-module names: the suffixed name and the stem that takes the DTM name instead. The first
// module's two Update names become its Manage name.
struct ModuleRename {
    std::string_view suffixed;
    std::string_view named;
};
constexpr ModuleRename firstModuleOnly[] = {
    {"IBS_Update_Module", "IBS_Manage_"},
    {"IBS_Update_Channel", "IBS_Manage_"},
};
constexpr ModuleRename everyModule[] = {
    {"IBS_Manage", "IBS_Manage_"},         {"IBS_READ_VAR", "IBS_READ_VAR_"},
    {"IBS_SEND_REQ", "IBS_SEND_REQ_"},     {"IBS_WRITE_VAR", "IBS_WRITE_VAR_"},
    {"IBS_Layout_CRC", "IBS_Layout_CRC_"}, {"IBS_Layout_Xfer", "IBS_Layout_Xfer_"},
    {"IBS_IODDT_IN", "IBS_IODDT_IN_"},     {"IBS_IODDT_OUT", "IBS_IODDT_OUT_"},
};
// The first module's sections; the second module's keep their suffixes.
constexpr ModuleRename firstModuleSections[] = {
    {"IBS_IN", "IBS_IN_"},
    {"IBS_LOAD", "IBS_LOAD_"},
    {"IBS_OUT", "IBS_OUT_"},
};

// "<rack>_s<slot>" of module k's IBY declaration.
std::string rackAndSlot(const Inventory& inventory, int k) {
    return std::to_string(inventory.IBYrack[k]) + "_s" + std::to_string(inventory.IBYslot[k]);
}

template <std::size_t N>
void addModulePairs(std::vector<RenamePair>& pairs, const ModuleRename (&renames)[N],
                    const std::string& suffix, const std::string& name) {
    for (const ModuleRename& rename : renames) {
        pairs.push_back({std::string(rename.suffixed) + suffix, std::string(rename.named) + name,
                         KeyMatch::WholeKey});
    }
}

}  // namespace

std::vector<RenamePair> ibyToIbsRenames(const Inventory& inventory,
                                        const ModuleTable<std::string>& ibyDioVarName) {
    std::vector<RenamePair> pairs;
    for (const auto& [search, replacement] : genericRenames) {
        pairs.push_back({std::string(search), std::string(replacement), KeyMatch::Anywhere});
    }
    for (std::string_view key : ipPlaceholderKeys) {
        for (int k = 1; k <= maxModules; ++k) {
            pairs.push_back({std::string(key) + rackAndSlot(inventory, k),
                             inventory.dtmIpAddress[k], KeyMatch::WholeKey});
        }
    }
    for (const auto& [search, replacement] : communicationRenames) {
        pairs.push_back({std::string(search), std::string(replacement), KeyMatch::Anywhere});
    }
    // The second module's pairs are applied with one module too; its tables then hold their
    // start values ("Not yet set", rack and slot 0).
    for (int k = 1; k <= maxModules; ++k) {
        const std::string& suffix = inventory.ibySuffix[k];
        const std::string& name = inventory.dtmEntryName[k];
        if (k == 1) {
            addModulePairs(pairs, firstModuleOnly, suffix, name);
        }
        addModulePairs(pairs, everyModule, suffix, name);
        if (k == 1) {
            addModulePairs(pairs, firstModuleSections, suffix, name);
        }
        // A device variable's name not yet met renames nothing: its start value, "Not yet
        // set", is also the user's text; the placeholder that carries it is filled in apart.
        if (ibyDioVarName[k] != notYetSet) {
            pairs.push_back({ibyDioVarName[k], name, KeyMatch::WholeKey});
        }
        pairs.push_back({"IBS_DIO" + suffix, name, KeyMatch::WholeKey});
    }
    return pairs;
}

void applyRenames(std::string& line, const std::vector<RenamePair>& renames, LineRenamer& renamer) {
    LineGrams grams(line);
    for (const RenamePair& pair : renames) {
        if (!grams.mayHold(pair.grams)) {
            continue;
        }
        const int before = renamer.replacementCount();
        renamer.rename(line, pair.search, pair.replacement, pair.matching);
        if (renamer.replacementCount() != before) {
            // The renames after this one see the line as it now is.
            grams.take(line);
        }
    }
}

}  // namespace vornick
