#include "converter/conversion/module_addresses.h"

#include "converter/conversion/replace_counted.h"
#include "converter/format/xef_line.h"

namespace vornick {

void fillModuleIpAddresses(std::string& line, const Inventory& inventory, int& replacementCount) {
    replaceAllCounted(line, "PMEDWLIP1", inventory.dtmIpAddress[1], replacementCount,
                      KeyMatch::WholeKey);
    replaceAllCounted(line, "PMEDWLIP2", inventory.dtmIpAddress[2], replacementCount,
                      KeyMatch::WholeKey);
}

void renameSectionNames(std::string& line, const Inventory& inventory, int& replacementCount) {
    if (!holds(line, "<sectionDesc") && !holds(line, "<identProgram")) {
        return;
    }
    for (int k = 1; k <= maxModules; ++k) {
        const std::string place =
            "_" + std::to_string(inventory.IBYrack[k]) + "_" + std::to_string(inventory.IBYslot[k]);
        const std::string& name = inventory.dtmEntryName[k];
        for (const char* stem : {"IBS_Data_IN", "IBS_Config", "IBS_Data_OUT"}) {
            replaceAllCounted(line, stem + place, stem + ("_" + name), replacementCount,
                              KeyMatch::WholeKey);
        }
    }
}

}  // namespace vornick
