#pragma once

// The first pass, one line at a time: PMEDWL module lines with the address line after them,
// IBY device declarations, and DTM entry lines of the PMEDWL modules. Entries past the tables
// are counted only, so the checks can refuse the project.

#include <string_view>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/inventory.h"

namespace vornick {

void takeInventoryLine(Inventory& inventory, std::string_view line, ConversionLog& log);

// The parts of a line that the rules read, for the rules and their tests.
struct RackSlot {
    int rack = 0;
    int slot = 0;
    bool read = false;  // the line held both numbers where they belong
};

// A module's address line: after its second backslash the rack, a full stop, the slot and a
// double quote.
RackSlot moduleAddress(std::string_view line);
// An IBY device declaration "IBY_IODDT_IN_d<rack>_s<slot>" followed by a double quote.
RackSlot ibyDeclarationSuffix(std::string_view line);
// A DTM identifier "C<rack>_<slot>"; without the leading "C" the rack reads as 0.
RackSlot dtmIdentifierPlace(std::string_view identifier);

}  // namespace vornick
