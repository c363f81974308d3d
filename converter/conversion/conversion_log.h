#pragma once

// Where a conversion tells what it does: the report window's text, which the user keeps on the
// screen, and the console (standard output), which always gets its trace lines.

#include <ostream>
#include <string>
#include <string_view>

namespace vornick {

struct ConversionLog {
    std::string& reportText;
    std::ostream& console;

    void report(std::string_view text) { reportText += text; }
    void say(std::string_view line) { console << line << '\n'; }
};

}  // namespace vornick
