#include "converter/conversion/ioddt_match.h"

#include "converter/format/attribute_elements.h"
#include "converter/format/xef_line.h"

namespace vornick {
namespace {

constexpr std::string_view notFound = "Not Found";
constexpr std::string_view deleteAndReAdd =
    "\r\n       Delete the DTM entry for the PMEDWL and re-add it with a good name. ";

std::string number(int value) {
    return std::to_string(value);
}

// A one-line declaration ends its element on its own line; the lines after it belong to the
// next declaration and cannot carry this variable's device id.
bool leavesElementOpen(std::string_view line) {
    if (holds(line, "</variables>")) {
        return false;
    }
    const std::size_t last = line.find_last_not_of(" \t");
    return !(last != std::string_view::npos && last > 0 && line.substr(last - 1, 2) == "/>");
}

std::size_t occurrences(std::string_view line, std::string_view text) {
    std::size_t found = 0;
    for (std::size_t at = line.find(text); at != std::string_view::npos;
         at = line.find(text, at + text.size())) {
        ++found;
    }
    return found;
}

// Moves the comment and initial-value state on over a child line; true when the line belongs
// to one of them.
bool withinUsersText(IoddtMatch& match, std::string_view line) {
    if (match.inComment) {
        match.inComment = !holds(line, "</comment>");
        return true;
    }
    if (holds(line, "<comment>")) {
        match.inComment = !holds(line, "</comment>");
        return true;
    }
    const std::size_t opened = occurrences(line, "<instanceElementDesc");
    const std::size_t closed = occurrences(line, "</instanceElementDesc>");
    if (match.initialValueDepth == 0 && opened == 0) {
        return holds(line, "<variableInit");
    }
    const std::size_t last = line.find_last_not_of(" \t");
    const bool selfClosed = opened > closed && last != std::string_view::npos && last > 0 &&
                            line.substr(last - 1, 2) == "/>";
    const long depth = static_cast<long>(match.initialValueDepth) + static_cast<long>(opened) -
                       static_cast<long>(closed) - (selfClosed ? 1 : 0);
    match.initialValueDepth = depth > 0 ? static_cast<int>(depth) : 0;
    return true;
}

// The attribute name that projects give the id as a rule; another attribute that happens to
// hold the same value never outranks it.
bool namesTheDeviceId(std::string_view name) {
    return upperCase(name) == "DEVICEID";
}

// The tally the checks judge for DTM entry k.
void choose(IoddtMatch& match, int k) {
    const DeviceVariableTally& chosen =
        match.underDeviceId[k].count > 0 ? match.underDeviceId[k] : match.underOtherName[k];
    match.ioddtMatchCount[k] = chosen.count;
    if (chosen.count > 0) {
        match.ioddtVarName[k] = chosen.name;
        match.ioddtVarType[k] = chosen.type;
    }
}

// The lines held for matches under other names go to the report once they are known to count,
// when the checks run; those of "DeviceId" matches are written as they are found.
void reportHeldMatches(IoddtMatch& match, ConversionLog& log) {
    for (int k = 1; k <= maxModules; ++k) {
        std::string& held = match.underOtherName[k].heldReport;
        if (match.underDeviceId[k].count == 0) {
            log.report(held);
        }
        held.clear();
    }
}

void matchDeviceId(IoddtMatch& match, const Inventory& inventory, const AttributeElement& element,
                   ConversionLog& log) {
    const std::string& candidate = *match.candidate;
    const bool deviceId = namesTheDeviceId(element.name);
    for (int k = 1; k <= maxModules; ++k) {
        bool& counted = deviceId ? match.candidateMatched[k] : match.candidateMatchedOther[k];
        if (element.value != inventory.dtmId[k] || counted) {
            continue;
        }
        counted = true;
        DeviceVariableTally& tally = deviceId ? match.underDeviceId[k] : match.underOtherName[k];
        const std::string index = number(k);
        tally.name = attributeValue(candidate, " name=");
        tally.type = attributeValue(candidate, " typeName=");
        ++tally.count;
        const std::string lines = "\r\n       Found IODDT DeviceID(" + index + ")='" +
                                  inventory.dtmId[k] +
                                  " on line number = " + number(match.lineNumber) +
                                  "\r\n       Found IODDT variable Name(" + index + ")='" +
                                  tally.name + "'    Type(" + index + ")='" + tally.type + "'";
        if (deviceId) {
            log.report(lines);
        } else {
            tally.heldReport += lines;
        }
        choose(match, k);
    }
}

void startCandidate(IoddtMatch& match, std::string_view line) {
    match.candidate = std::string(line);
    match.candidateMatched = {};
    match.candidateMatchedOther = {};
    match.inComment = false;
    match.initialValueDepth = 0;
}

// A line of the candidate's element: its attribute elements may carry a DTM's id, whatever
// their name; its comment and initial values hold the user's own text (the old address that the
// Premium conversion kept in a comment, "%QW0.3.0.2 (Interbus-S)"; an array element "[1]"; a
// member "Speed1"), whose numbers must never pass for the ids of the DTMs. "</variables>" ends
// the element.
void readChildLine(IoddtMatch& match, const Inventory& inventory, std::string_view line,
                   ConversionLog& log) {
    if (!withinUsersText(match, line) && holds(line, "<attribute")) {
        for (const AttributeElement& element : attributeElements(line)) {
            if (element.hasValue) {
                matchDeviceId(match, inventory, element, log);
            }
        }
    }
    if (holds(line, "</variables>")) {
        match.candidate.reset();
    }
}

// A declaration, or the data block's edge, ends an element that never closed: the line is
// examined as any other.
bool endsTheCandidate(std::string_view line) {
    return holds(line, "<variables") || holds(line, "<dataBlock>") || holds(line, "</dataBlock>");
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

std::optional<IoddtFailure> finishIoddtMatch(IoddtMatch& match, const Inventory& inventory,
                                             std::string_view xef, ConversionLog& log) {
    if (match.dataBlockClosed) {
        return std::nullopt;
    }
    reportHeldMatches(match, log);
    return checkIoddtMatch(match, inventory, xef);
}

std::optional<IoddtFailure> matchIoddtLine(IoddtMatch& match, const Inventory& inventory,
                                           std::string_view line, std::string_view xef,
                                           ConversionLog& log) {
    ++match.lineNumber;
    if (match.candidate) {
        if (!endsTheCandidate(line)) {
            readChildLine(match, inventory, line, log);
            return std::nullopt;
        }
        match.candidate.reset();
    }
    if (holds(line, "<dataBlock>")) {
        match.inDataBlock = true;
    }
    if (holds(line, "</dataBlock>")) {
        match.inDataBlock = false;
        match.dataBlockClosed = true;
        reportHeldMatches(match, log);
        if (auto failed = checkIoddtMatch(match, inventory, xef)) {
            return failed;
        }
    }
    if (match.inDataBlock && holds(line, "<variables") && leavesElementOpen(line)) {
        startCandidate(match, line);
    }
    return std::nullopt;
}

}  // namespace vornick
