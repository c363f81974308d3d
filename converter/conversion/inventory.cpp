#include "converter/conversion/inventory.h"

namespace vornick {

ModuleTable<std::string> notYetSetTable() {
    ModuleTable<std::string> table;
    for (std::size_t k = 1; k < table.size(); ++k) {
        table[k] = std::string(notYetSet);
    }
    return table;
}

}  // namespace vornick
