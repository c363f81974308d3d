#include "converter/conversion/module_addresses.h"

#include "converter/format/xef_line.h"

namespace vornick {

void fillModuleIpAddresses(std::string& line, const Inventory& inventory, LineRenamer& renamer) {
    renamer.rename(line, "PMEDWLIP1", inventory.dtmIpAddress[inventory.placeholderDtm[1]],
                   KeyMatch::WholeKey);
    renamer.rename(line, "PMEDWLIP2", inventory.dtmIpAddress[inventory.placeholderDtm[2]],
                   KeyMatch::WholeKey);
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
