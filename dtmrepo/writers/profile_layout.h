#pragma once

// The layout pass: the flat profile indented five blanks per element level, and a warning for
// every "UNKNOWN" left in it (a value the description never gave).

#include <string>
#include <vector>

#include "dtmrepo/trace.h"

namespace dtmrepo {

struct LayoutResult {
    std::vector<std::string> lines;
    int unknownCount = 0;
};

LayoutResult indentProfile(const std::vector<std::string>& flat, const Trace& trace);

}  // namespace dtmrepo
