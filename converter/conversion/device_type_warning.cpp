#include "converter/conversion/device_type_warning.h"

namespace vornick {

std::string deviceTypeWarning(const Inventory& inventory, const IoddtMatch& match,
                              const std::vector<std::string>& blocks) {
    if (inventory.moduleCount != 2 || blocks.empty() ||
        match.ioddtVarType[1] == match.ioddtVarType[2]) {
        return {};
    }
    std::string names;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (i > 0) {
            names += i + 1 == blocks.size() ? " and " : ", ";
        }
        names += blocks[i];
    }
    const std::string given = "T_" + inventory.dtmEntryName[1];
    return "WARNING: The two PMEDWL DTMs have different device types: " +
           inventory.dtmEntryName[1] + " is " + match.ioddtVarType[1] + ", " +
           inventory.dtmEntryName[2] + " is " + match.ioddtVarType[2] +
           ". The device parameter of " + names + " is of type " + given + ", so the calls for " +
           inventory.dtmEntryName[2] + " do not build: fix these blocks by hand.";
}

}  // namespace vornick
