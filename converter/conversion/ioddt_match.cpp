#include "converter/conversion/ioddt_match.h"

#include "converter/format/xef_line.h"

namespace vornick {
namespace {

constexpr std::string_view notFound = "Not Found";
constexpr std::string_view deleteAndReAdd =
    "\r\n       Delete the DTM entry for the PMEDWL and re-add it with a good name. ";

std::string number(int value) {
    return std::to_string(value);
}

// A one-line declaration ends its element on its own line; the line after it belongs to the
// next declaration and cannot carry this variable's device id.
bool leavesElementOpen(std::string_view line) {
    if (holds(line, "</variables>")) {
        return false;
    }
    const std::size_t last = line.find_last_not_of(" \t");
    return !(last != std::string_view::npos && last > 0 && line.substr(last - 1, 2) == "/>");
}

// A comment or an initial value holds the user's own text, never a device id: the variables
// that the Premium conversion made unlocated keep their old address in a comment
// ("%QW0.3.0.2 (Interbus-S)"), whose numbers would otherwise pass for the ids of the DTMs.
bool holdsOwnText(std::string_view line) {
    return holds(line, "<comment>") || holds(line, "<variableInit");
}

bool matchFollowingLine(IoddtMatch& match, const Inventory& inventory, std::string_view candidate,
                        std::string_view following, ConversionLog& log) {
    if (holdsOwnText(following)) {
        return false;
    }
    bool matched = false;
    for (int k = 1; k <= maxModules; ++k) {
        if (!holdsKey(following, inventory.dtmId[k])) {
            continue;
        }
        matched = true;
        const std::string index = number(k);
        match.ioddtVarName[k] = attributeValue(candidate, " name=");
        match.ioddtVarType[k] = attributeValue(candidate, " typeName=");
        ++match.ioddtMatchCount[k];
        log.report("\r\n       Found IODDT DeviceID(" + index + ")='" + inventory.dtmId[k] +
                   " on line number = " + number(match.lineNumber));
        log.report("\r\n       Found IODDT variable Name(" + index + ")='" + match.ioddtVarName[k] +
                   "'    Type(" + index + ")='" + match.ioddtVarType[k] + "'");
    }
    return matched;
}

IoddtFailure failure(std::string_view xef, std::string_view boxTail, std::string reportLines) {
    return {"  ERROR: File '" + std::string(xef) + std::string(boxTail), std::move(reportLines)};
}

}  // namespace

IoddtMatch::IoddtMatch() {
    for (int k = 1; k <= maxModules; ++k) {
        ioddtVarName[k] = std::string(notFound);
        ioddtVarType[k] = std::string(notFound);
    }
}

std::optional<IoddtFailure> checkIoddtMatch(const IoddtMatch& match, const Inventory& inventory,
                                            std::string_view xef) {
    for (int k = 1; k <= maxModules && k <= inventory.moduleCount; ++k) {
        const std::string dtm = "DTM(" + number(k) + ")";
        if (match.ioddtMatchCount[k] == 0) {
            // The first module's line names the device id it looked for; the second's never did.
            const std::string tail = k == 1 ? " for DeviceID=" + inventory.dtmId[k] : " ";
            return failure(
                xef, "' Found no DTM variable TYPE to match IBS IODDT " + dtm,
                "\r\n\n       ERROR: Found no DTM variable TYPE to match IBS IODDT " + dtm + tail);
        }
        if (match.ioddtMatchCount[k] > 1) {
            return failure(
                xef, "' Found more than one DTM variable TYPE to match IBS IODDT " + dtm,
                "\r\n\n       ERROR: Found more than one DTM variable TYPE that matches the IBS "
                "IODDT " +
                    dtm + std::string(deleteAndReAdd));
        }
        if (inventory.dtmEntryName[k] != match.ioddtVarName[k]) {
            return failure(xef, "' DTM variable Name does not match IBS IODDT " + dtm,
                           "\r\n\n       ERROR: DTM variable Name does not matches the IBS IODDT " +
                               dtm + "\r\n       " + inventory.dtmEntryName[k] + " <> " +
                               match.ioddtVarName[k] + std::string(deleteAndReAdd));
        }
    }
    return std::nullopt;
}

std::optional<IoddtFailure> matchIoddtLine(IoddtMatch& match, const Inventory& inventory,
                                           std::string_view line, std::string_view xef,
                                           ConversionLog& log) {
    ++match.lineNumber;
    if (match.candidate) {
        const std::string candidate = std::move(*match.candidate);
        match.candidate.reset();
        if (matchFollowingLine(match, inventory, candidate, line, log)) {
            return std::nullopt;
        }
        // Not a device variable: the line is examined like any other.
    }
    if (holds(line, "<dataBlock>")) {
        match.inDataBlock = true;
    }
    if (holds(line, "</dataBlock>")) {
        match.inDataBlock = false;
        if (auto failed = checkIoddtMatch(match, inventory, xef)) {
            return failed;
        }
    }
    if (match.inDataBlock && holds(line, "<variables") && leavesElementOpen(line)) {
        match.candidate = std::string(line);
    }
    return std::nullopt;
}

}  // namespace vornick
