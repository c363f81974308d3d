#pragma once

// The second pass: each DTM entry needs exactly one device variable in the data block, a
// "<variables" element with an attribute element whose value is the entry's device id, and that
// variable must bear the DTM entry's name, because the rewrite renames Fennick's code after the
// DTM names.

#include <optional>
#include <string>
#include <string_view>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/inventory.h"

namespace vornick {

// The variables that carry one DTM's id in one kind of attribute element.
struct DeviceVariableTally {
    int count = 0;
    std::string name;  // of the last one
    std::string type;
    std::string heldReport;  // its report lines, until it is known whether they count
};

struct IoddtMatch {
    // What the checks judge: the variables that carry DTM entry k's id as "DeviceId" where
    // there are any, else those that carry it in an attribute of another name.
    ModuleTable<std::string> ioddtVarName;
    ModuleTable<std::string> ioddtVarType;
    ModuleTable<int> ioddtMatchCount{};
    ModuleTable<DeviceVariableTally> underDeviceId{}, underOtherName{};
    int lineNumber = 0;  // lines read so far
    bool inDataBlock = false;
    bool dataBlockClosed = false;  // a "</dataBlock>" line was met and its checks ran
    // A "<variables" line of the data block whose element goes on: its child lines, up to its
    // "</variables>", may hold the device id attribute.
    std::optional<std::string> candidate;
    // The candidate has counted for DTM entry k, as "DeviceId" and under another name.
    ModuleTable<bool> candidateMatched{}, candidateMatchedOther{};
    bool inComment = false;     // inside a comment of the candidate, over lines
    int initialValueDepth = 0;  // inside its initial values' elements

    IoddtMatch();
};

struct IoddtFailure {
    std::string boxText;
    std::string reportLines;
};

// Takes the next line of the project file. A line closing a data block runs the checks; the
// first that fails is returned and the pass ends there.
std::optional<IoddtFailure> matchIoddtLine(IoddtMatch& match, const Inventory& inventory,
                                           std::string_view line, std::string_view xefReadFilename,
                                           ConversionLog& log);

// At the end of the file: a project whose data block never closed has not been checked yet,
// and is checked now, once.
std::optional<IoddtFailure> finishIoddtMatch(IoddtMatch& match, const Inventory& inventory,
                                             std::string_view xefReadFilename, ConversionLog& log);

// The checks on what was matched so far.
std::optional<IoddtFailure> checkIoddtMatch(const IoddtMatch& match, const Inventory& inventory,
                                            std::string_view xefReadFilename);

}  // namespace vornick
