#include "converter/conversion/inventory_line.h"

#include <string>

#include "converter/format/xef_line.h"

namespace vornick {
namespace {

constexpr std::size_t npos = std::string_view::npos;

std::string number(int value) {
    return std::to_string(value);
}

std::string_view between(std::string_view line, std::size_t from, std::size_t to) {
    return line.substr(from, to - from);
}

// "Found PMEDWL(1)  at rack = 0   slot = 3", on the console and in the report.
void tellFound(ConversionLog& log, std::string_view kind, int k, const RackSlot& place) {
    const std::string found = "Found " + std::string(kind) + "(" + number(k) +
                              ")  at rack = " + number(place.rack) +
                              "   slot = " + number(place.slot);
    log.say(" --------------- " + found);
    log.report("\r\n " + found);
}

void takeModuleAddress(Inventory& inventory, std::string_view line, ConversionLog& log) {
    const int k = inventory.moduleCount;
    const RackSlot place = moduleAddress(line);
    if (k <= maxModules) {
        inventory.IBSrack[k] = place.rack;
        inventory.IBSslot[k] = place.slot;
        inventory.moduleAddressRead[k] = place.read;
    }
    tellFound(log, "PMEDWL", k, place);
}

void takeIbyDeclaration(Inventory& inventory, std::string_view line, ConversionLog& log) {
    const int k = ++inventory.ibyCount;
    const RackSlot place = ibyDeclarationSuffix(line);
    if (k <= maxModules) {
        inventory.IBYrack[k] = place.rack;
        inventory.IBYslot[k] = place.slot;
        inventory.ibySuffixRead[k] = place.read;
        inventory.ibySuffix[k] = "_d" + number(place.rack) + "_s" + number(place.slot);
    }
    tellFound(log, "IBY_DIO", k, place);
}

void takeDtmEntry(Inventory& inventory, std::string_view line, ConversionLog& log) {
    const int k = ++inventory.dtmCount;
    const std::string name = attributeValue(line, " name=");
    const std::string id = attributeValue(line, " id=");
    const std::string ipAddress = attributeValue(line, " ipAddress=");
    const std::string identifier = attributeValue(line, " identifier=");
    const RackSlot place = dtmIdentifierPlace(identifier);
    if (k <= maxModules) {
        inventory.dtmEntryName[k] = name;
        inventory.dtmId[k] = id;
        inventory.dtmIpAddress[k] = ipAddress;
        inventory.dtmIdentifier[k] = identifier;
        inventory.IBSDTMrack[k] = place.rack;
        inventory.IBSDTMslot[k] = place.slot;
    }
    log.say(" -------------- Found PMEDWL DTM(" + number(k) + ") '" + name + "'   '" + identifier +
            "' at rack = " + number(place.rack) + "  slot = " + number(place.slot));
    log.report("\r\n Found PMEDWL DTM(" + number(k) + ") Name='" + name + "'   '" + identifier +
               "' at Rack='" + number(place.rack) + "'  Slot='" + number(place.slot) +
               "'  IPaddress='" + ipAddress + "'   DeviceID='" + id + "'");
}

// Whether `line` declares IBY_Rack_k or IBY_Slot_k; its initial value is then due.
bool declaresPlaceholderPlace(Inventory& inventory, std::string_view line) {
    if (!holds(line, "<variables name=\"IBY_")) {
        return false;
    }
    const std::string name = attributeValue(line, " name=");
    for (int k = 1; k <= maxModules; ++k) {
        const std::string n = number(k);
        if (name == "IBY_Rack_" + n || name == "IBY_Slot_" + n) {
            inventory.pendingPlaceModule = k;
            inventory.pendingPlaceIsSlot = name[4] == 'S';
            return true;
        }
    }
    return false;
}

// "<variables name="IBY_Rack_1" ...>" and the "<variableInit value="0">" inside its element,
// on its own line or on the declaration's.
void takePlaceholderPlace(Inventory& inventory, std::string_view line) {
    const bool declares = declaresPlaceholderPlace(inventory, line);
    const int k = inventory.pendingPlaceModule;
    if (k == 0) {
        return;
    }
    if (holds(line, "<variableInit value=")) {
        const std::string value = attributeValue(line, " value=");
        bool& read = inventory.pendingPlaceIsSlot ? inventory.placeholderSlotRead[k]
                                                  : inventory.placeholderRackRead[k];
        int& place = inventory.pendingPlaceIsSlot ? inventory.placeholderSlot[k]
                                                  : inventory.placeholderRack[k];
        if (!read && startsWithNumber(value)) {
            place = readNumber(value);
            read = true;
        }
        inventory.pendingPlaceModule = 0;
    } else if (holds(line, "</variables>") || (!declares && holds(line, "<variables"))) {
        inventory.pendingPlaceModule = 0;
    }
}

}  // namespace

RackSlot moduleAddress(std::string_view line) {
    const std::size_t b1 = line.find('\\');
    const std::size_t b2 = b1 == npos ? npos : line.find('\\', b1 + 1);
    if (b2 == npos) {
        return {};
    }
    const std::size_t p = line.find('.', b2);
    const std::size_t q = line.find('"', b2);
    if (p == npos || q == npos || q < p) {
        return {};
    }
    const std::string_view rack = between(line, b2 + 1, p);
    const std::string_view slot = between(line, p + 1, q);
    return {readNumber(rack), readNumber(slot), startsWithNumber(rack) && startsWithNumber(slot)};
}

RackSlot ibyDeclarationSuffix(std::string_view line) {
    constexpr std::string_view key = "IBY_IODDT_IN_d";
    const std::size_t found = line.find(key);
    if (found == npos) {
        return {};
    }
    const std::size_t d = found + key.size() - 2;  // the "_d" that ends the key
    const std::size_t s = line.find("_s", d + 2);
    const std::size_t q = s == npos ? npos : line.find('"', s);
    if (q == npos) {
        return {};
    }
    const std::string_view rack = between(line, d + 2, s);
    const std::string_view slot = between(line, s + 2, q);
    return {readNumber(rack), readNumber(slot), startsWithNumber(rack) && startsWithNumber(slot)};
}

RackSlot dtmIdentifierPlace(std::string_view identifier) {
    const std::size_t u1 = identifier.find('_');
    const std::string_view rackPart = identifier.substr(0, u1);
    RackSlot place;
    if (!rackPart.empty() && rackPart.front() == 'C') {
        place.rack = readNumber(rackPart.substr(1, 3));
    }
    if (u1 != npos) {
        const std::size_t u2 = identifier.find('_', u1 + 1);
        const std::string_view slot =
            u2 == npos ? identifier.substr(u1 + 1) : between(identifier, u1 + 1, u2);
        place.slot = readNumber(slot);
        place.read = startsWithNumber(slot);
    }
    return place;
}

void takeInventoryLine(Inventory& inventory, std::string_view line, ConversionLog& log) {
    takePlaceholderPlace(inventory, line);
    if (inventory.awaitingModuleAddress) {
        // The line after a module line is its address line; it is still tested for the other
        // two kinds, but never as a module line itself.
        inventory.awaitingModuleAddress = false;
        takeModuleAddress(inventory, line, log);
    } else if (holds(line, "PMEDWL0111") && holds(line, "<partItem")) {
        ++inventory.moduleCount;
        inventory.awaitingModuleAddress = true;
        return;
    }
    if (holds(line, "IBY_IODDT_IN_d") && holds(line, " typeName=")) {
        takeIbyDeclaration(inventory, line, log);
    }
    if (inventory.ibsDeclarationName.empty() && holds(line, "IBS_IODDT_IN_") &&
        holds(line, " typeName=")) {
        const std::string name = attributeValue(line, " name=");
        if (name.rfind("IBS_IODDT_IN_", 0) == 0) {
            inventory.ibsDeclarationName = name;
        }
    }
    if (holds(line, "M58B_XX_PMEDWL01")) {
        takeDtmEntry(inventory, line, log);
    }
}

}  // namespace vornick
