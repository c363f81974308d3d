#pragma once

// The messages of an install: each check appends one ERROR or WARNING line to the report and
// counts it. Checking never stops the run; the error count decides at the end whether the
// install may touch the repository.

#include <string>
#include <string_view>

#include "dtmrepo/trace.h"

namespace dtmrepo {

struct CheckReport {
    std::string text;  // the report so far ("Building: " and the path first)
    int errorCount = 0;
    int warningCount = 0;

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
