#pragma once

// The messages of an install: each check appends one ERROR or WARNING line to the report and
// counts it. Checking never stops the run; the error count decides at the end whether the
// install may touch the repository.

#include <string>
#include <string_view>

#include "dtmrepo/trace.h"

namespace dtmrepo {

struct CheckReport {
    // A small file whose loop expands into a flood of faults would make a report of many
    // megabytes: the first messages are listed, the rest only counted.
    static constexpr int listedMessages = 300;

    std::string text;  // the report so far ("Building: " and the path first)
    int errorCount = 0;
    int warningCount = 0;
    int unlisted = 0;  // messages counted but not listed

    // The report as the user reads it: the text and the count of the messages left out.
    std::string shown() const;

    // "\r\n   ERROR - " + body (a few messages start with a carriage return alone).
    void error(std::string_view body, const Trace& trace);
    void errorAfterReturn(std::string_view body, const Trace& trace);
    // "\r\n   WARNING - " + body.
    void warning(std::string_view body, const Trace& trace);
};

// " on line " and the like: the decimal form of a count.
inline std::string decimal(long long value) {
    return std::to_string(value);
}

}  // namespace dtmrepo
