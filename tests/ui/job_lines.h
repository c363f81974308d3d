#pragma once

// For suites that check what a window shows while a long job runs: from a transcript, the
// cursor and title lines in order, and each message box cut to the window that owns it
// (`msgbox over "title" -> ANSWER`).

#include <sstream>
#include <string>
#include <vector>

namespace ui_fixture {

inline std::vector<std::string> JobLines(const std::string& transcript) {
    std::vector<std::string> lines;
    std::istringstream in(transcript);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("cursor ", 0) == 0 || line.rfind("title ", 0) == 0) {
            lines.push_back(line);
        } else if (line.rfind("msgbox ", 0) == 0) {
            // A box with no owner keeps its answer alone.
            const size_t over = line.rfind(" over ");
            lines.push_back("msgbox" +
                            line.substr(over != std::string::npos ? over : line.rfind(" -> ")));
        }
    }
    return lines;
}

}  // namespace ui_fixture
