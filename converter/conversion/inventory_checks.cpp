#include "converter/conversion/inventory_checks.h"

#include <utility>

#include "converter/conversion/inventory_line.h"

namespace vornick {
namespace {

std::string number(int value) {
    return std::to_string(value);
}

std::string fileError(std::string_view xef, std::string_view what) {
    return "  ERROR: File '" + std::string(xef) + "'" + std::string(what);
}

std::optional<std::string> tooMany(std::string_view xef, int count, std::string_view kind) {
    if (count <= maxModules) {
        return std::nullopt;
    }
    return fileError(xef, " found " + number(count) + " " + std::string(kind) + " but at most " +
                              number(maxModules) + " can be converted!");
}

std::optional<std::string> incompleteEntry(const Inventory& inventory, std::string_view xef) {
    for (int k = 1; k <= inventory.moduleCount; ++k) {
        if (!inventory.moduleAddressRead[k]) {
            return fileError(xef,
                             " PMEDWL(" + number(k) + ") has no rack and slot in its address!");
        }
        const std::pair<std::string_view, const std::string*> attributes[] = {
            {"name", &inventory.dtmEntryName[k]},
            {"id", &inventory.dtmId[k]},
            {"ipAddress", &inventory.dtmIpAddress[k]},
            {"identifier", &inventory.dtmIdentifier[k]},
        };
        for (const auto& [attribute, value] : attributes) {
            if (value->empty()) {
                return fileError(
                    xef, " DTM(" + number(k) + ") has no " + std::string(attribute) + " value!");
            }
        }
        if (!dtmIdentifierPlace(inventory.dtmIdentifier[k]).read) {
            return fileError(xef, " DTM(" + number(k) + ") identifier '" +
                                      inventory.dtmIdentifier[k] + "' names no rack and slot!");
        }
        if (!inventory.ibySuffixRead[k]) {
            return fileError(xef, " IBY_DIO(" + number(k) + ") has no rack and slot in its name!");
        }
    }
    return std::nullopt;
}

std::optional<std::string> placeMismatch(const Inventory& inventory, std::string_view xef) {
    for (int k = 1; k <= inventory.moduleCount; ++k) {
        if (inventory.IBSDTMrack[k] != inventory.IBSrack[k]) {
            return fileError(
                xef, " IBSrack(" + number(k) + ") does not match IBSDTMrack(" + number(k) + ")!");
        }
        if (inventory.IBSDTMslot[k] != inventory.IBSslot[k]) {
            return fileError(
                xef, " IBSslot(" + number(k) + ") does not match IBSDTMslot(" + number(k) + ")!");
        }
    }
    return std::nullopt;
}

void swapIbyEntries(Inventory& inventory, int a, int b) {
    std::swap(inventory.IBYrack[a], inventory.IBYrack[b]);
    std::swap(inventory.IBYslot[a], inventory.IBYslot[b]);
    std::swap(inventory.ibySuffix[a], inventory.ibySuffix[b]);
    std::swap(inventory.ibySuffixRead[a], inventory.ibySuffixRead[b]);
}

// The code Fennick generated for a module carries its rack and slot; it is renamed after the
// DTM entry of the module in that same place, whatever order the project lists them in.
std::optional<std::string> pairIbyWithDtm(Inventory& inventory, std::string_view xef) {
    // Which declaration, in file order, stands at each index as the entries are swapped.
    ModuleTable<int> declaration{0, 1, 2};
    for (int k = 1; k <= inventory.moduleCount; ++k) {
        int match = 0;
        for (int j = k; j <= inventory.ibyCount && match == 0; ++j) {
            if (inventory.IBYrack[j] == inventory.IBSDTMrack[k] &&
                inventory.IBYslot[j] == inventory.IBSDTMslot[k]) {
                match = j;
            }
        }
        if (match == 0) {
            return fileError(
                xef, " found no IBY module at rack = " + number(inventory.IBSDTMrack[k]) +
                         "   slot = " + number(inventory.IBSDTMslot[k]) + " for DTM(" + number(k) +
                         ")!");
        }
        swapIbyEntries(inventory, k, match);
        std::swap(declaration[k], declaration[match]);
    }
    for (int k = 1; k <= inventory.moduleCount; ++k) {
        inventory.placeholderDtm[declaration[k]] = k;
    }
    // The blocks that use the addresses name each module by its rack and slot.
    for (int p = 1; p <= maxModules; ++p) {
        if (!inventory.placeholderRackRead[p] || !inventory.placeholderSlotRead[p]) {
            continue;
        }
        for (int k = 1; k <= inventory.moduleCount; ++k) {
            if (inventory.IBSDTMrack[k] == inventory.placeholderRack[p] &&
                inventory.IBSDTMslot[k] == inventory.placeholderSlot[p]) {
                inventory.placeholderDtm[p] = k;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> checkInventory(Inventory& inventory, std::string_view xef) {
    if (inventory.moduleCount == 0) {
        return fileError(xef, " does not contain at least one PMEDWL Module!");
    }
    if (auto error = tooMany(xef, inventory.moduleCount, "PMEDWL modules")) {
        return error;
    }
    if (auto error = tooMany(xef, inventory.dtmCount, "PMEDWL DTM entries")) {
        return error;
    }
    if (auto error = tooMany(xef, inventory.ibyCount, "IBY modules")) {
        return error;
    }
    if (inventory.dtmCount != inventory.moduleCount) {
        return fileError(xef, " found " + number(inventory.moduleCount) + " PMEDWL but only  " +
                                  number(inventory.dtmCount) + " DTM entries!");
    }
    if (inventory.ibyCount == 0 && !inventory.ibsDeclarationName.empty()) {
        return fileError(xef, " has been converted already: it declares " +
                                  inventory.ibsDeclarationName + " and no IBY module!");
    }
    if (inventory.ibyCount != inventory.moduleCount) {
        return fileError(xef, " found " + number(inventory.moduleCount) + " PMEDWL but only  " +
                                  number(inventory.ibyCount) + " IBY modules!");
    }
    if (auto error = incompleteEntry(inventory, xef)) {
        return error;
    }
    if (auto error = placeMismatch(inventory, xef)) {
        return error;
    }
    return pairIbyWithDtm(inventory, xef);
}

}  // namespace vornick
