#include "converter/conversion/module_addresses.h"

#include <algorithm>

#include "converter/format/xef_line.h"

namespace vornick {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The placeholders are renamed in any letter case, as every rename is.
bool holdsIgnoringCase(std::string_view line, std::string_view text) {
    return std::search(line.begin(), line.end(), text.begin(), text.end(),
                       [](char a, char b) { return upper(a) == upper(b); }) != line.end();
}

}  // namespace

void fillModuleIpAddresses(std::string& line, const Inventory& inventory,
                           const ModuleTable<std::string>& ibyDioVarName, LineRenamer& renamer) {
    for (int p = 1; p <= maxModules; ++p) {
        const std::string placeholder = "PMEDWLIP" + std::to_string(p);
        if (!holdsIgnoringCase(line, placeholder)) {
            continue;
        }
        std::string address = inventory.dtmIpAddress[inventory.placeholderDtm[p]];
        for (int k = 1; k <= maxModules; ++k) {
            if (ibyDioVarName[k] == notYetSet) {
                renamer.rename(address, notYetSet, inventory.dtmEntryName[k]);
            }
        }
        renamer.rename(line, placeholder, address, KeyMatch::WholeKey);
    }
}

void renameSectionNames(std::string& line, const Inventory& inventory, LineRenamer& renamer) {
    if (!holds(line, "<sectionDesc") && !holds(line, "<identProgram")) {
        return;
    }
    for (int k = 1; k <= maxModules; ++k) {
        std::string place = "_";
        place += std::to_string(inventory.IBYrack[k]);
        place += '_';
        place += std::to_string(inventory.IBYslot[k]);
        for (std::string_view stem : {"IBS_Data_IN", "IBS_Config", "IBS_Data_OUT"}) {
            std::string search(stem);
            search += place;
            std::string named(stem);
            named += '_';
            named += inventory.dtmEntryName[k];
            renamer.rename(line, search, named, KeyMatch::WholeKey);
        }
    }
}

}  // namespace vornick
