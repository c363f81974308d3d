#pragma once

// The decoding of one service file, on streams: the listing with its console copy, the tables,
// the load file and the summary rows. The conversion (tamsel_conversion.h) gives it the files.

#include <array>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "svc/svc_file_decoder.h"

namespace loadcode {

struct TamselDecodeOutcome {
    bool readFailed = false;                             // the input stream failed
    std::optional<svc::SvcMalformedLine> malformedLine;  // a word line that is not one
    std::optional<svc::SvcStrayWord> strayWord;          // a word line outside any record
    // A record whose data words do not add up to its word count.
    std::optional<svc::SvcCountMismatch> countMismatch;
    // No record named a service: a load file from it would configure nothing, yet replace the
    // one an earlier, good file gave.
    bool noService = false;
    // Records of other services whose words do not match their count, then rows beyond the
    // tables, as listed.
    std::vector<std::string> warnings;
    // More devices or map entries than the PLC arrays take: the load file configures part of
    // the bus.
    bool incomplete = false;
    bool complete() const {
        return !readFailed && !malformedLine && !strayWord && !countMismatch && !noService;
    }
};

// Reads every line of `input` into the listing (and its copy on `console`); when the input was
// read whole and named a service, ends the listing with the warnings, writes the load file and
// prints the summary rows on `console`.
TamselDecodeOutcome decodeTamselService(std::istream& input, std::ostream& listing,
                                        std::ostream& loadFile, std::ostream& console,
                                        const std::string& dtmName,
                                        const std::array<std::string, 2>& pcpTags);

}  // namespace loadcode
