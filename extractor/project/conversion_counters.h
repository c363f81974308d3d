#pragma once

// What a conversion pass counted, for the summary of the results file.

#include <array>
#include <string>
#include <vector>

#include "extractor/project/comm_instances.h"

namespace extractor {

struct ConversionCounters {
    int inputVariables = 0;    // topological INPUT declarations made unlocated
    int outputVariables = 0;   // topological OUTPUT declarations made unlocated
    int channelVariables = 0;  // topological CHANNEL declarations re-typed
    int ioddtReferences = 0;   // CHANNEL and MODULE IODDT references replaced in code
    int directReferences = 0;  // process-data references replaced in code
    int readStsModule = 0;     // READ_STS blocks are not replaced: always 0
    int readStsChannel = 0;
    // Communication calls replaced, per kind, in program sections and in DFBs.
    KindCounts inSections{};
    KindCounts inDfbs{};
};

// The summary lines of the results file, in order, for the module at rack/slot and the new
// archive's name.
std::vector<std::string> summaryLines(const ConversionCounters& counters,
                                      const std::string& createdArchive, int rack, int slot);

}  // namespace extractor
