#pragma once

// The second pass: each DTM entry needs exactly one device variable in the data block, a
// "<variables" element whose id attribute carries the entry's device id, and that variable must
// bear the DTM entry's name, because the rewrite renames Fennick's code after the DTM names.

#include <optional>
#include <string>
#include <string_view>

#include "converter/conversion/conversion_log.h"
#include "converter/conversion/inventory.h"

namespace vornick {

struct IoddtMatch {
    ModuleTable<std::string> ioddtVarName;
    ModuleTable<std::string> ioddtVarType;
    ModuleTable<int> ioddtMatchCount{};
    int lineNumber = 0;  // lines read so far
    bool inDataBlock = false;
    bool dataBlockClosed = false;  // a "</dataBlock>" line was met and its checks ran
    // A "<variables" line of the data block whose element goes on: its child lines, up to its
    // "</variables>", may hold the device id attribute.
    std::optional<std::string> candidate;
    ModuleTable<bool> candidateMatched{};  // the candidate has counted for DTM entry k
    bool inComment = false;                // inside a comment of the candidate, over lines
    int initialValueDepth = 0;             // inside its initial values' elements

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
std::optional<IoddtFailure> finishIoddtMatch(const IoddtMatch& match, const Inventory& inventory,
                                             std::string_view xefReadFilename);

// The checks on what was matched so far.
std::optional<IoddtFailure> checkIoddtMatch(const IoddtMatch& match, const Inventory& inventory,
                                            std::string_view xefReadFilename);

}  // namespace vornick
