#pragma once

// The first pass of an install: the description file becomes the configuration copy that the
// parser reads. Parameter and variable loops are expanded, the product identifier gets its
// version suffix, and the information and I/O structure groups are added. The lines of the
// I/O part (after the first top-level group closes) are also kept as the I/O copy.

#include <istream>
#include <string>
#include <vector>

#include "dtmrepo/parser/check_report.h"
#include "dtmrepo/trace.h"

namespace dtmrepo {

// Loops repeat their body at most this many lines long.
inline constexpr size_t maxLoopBodyLines = 5000;
// A description expands to at most this many lines, however its loops are nested in text.
inline constexpr size_t maxExpandedLines = 200000;

struct PreprocessResult {
    // A loop or ordering fault ended the pass (its message is in the report); the copies are
    // then incomplete and nothing after the pass runs.
    bool stopped = false;
    std::vector<std::string> configurationLines;
    std::vector<std::string> ioLines;
    std::string productIdentifier;  // the root, or the ProductID line's identifier
    std::string swValue;            // the SW line's value, leading zeros removed
};

// `root` is the description's file name without folder and extension.
PreprocessResult preprocessDescription(std::istream& description, const std::string& root,
                                       const std::string& revisionDate, CheckReport& report,
                                       const Trace& trace);

}  // namespace dtmrepo
