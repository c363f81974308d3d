#pragma once

// For suites that check what a message box says and how it was answered, not whose it is: a
// transcript's `msgbox "caption" "text" icon NAME default ANSWER over "title" -> ANSWER` line
// without the icon, default button and owner parts.

#include <string>

namespace ui_fixture {

inline std::string WithoutBoxDetails(const std::string& line) {
    if (line.rfind("msgbox \"", 0) != 0) {
        return line;
    }
    // The end of the second quoted text (caption, then text; a backslash escapes).
    size_t at = 7;
    for (int quoted = 0; quoted < 2 && at < line.size(); ++quoted) {
        at = line.find('"', at);
        if (at == std::string::npos) {
            return line;
        }
        for (++at; at < line.size() && line[at] != '"'; ++at) {
            at += line[at] == '\\' ? 1 : 0;
        }
        ++at;
    }
    const size_t arrow = line.find(" -> ", at);
    return arrow == std::string::npos ? line : line.substr(0, at) + line.substr(arrow);
}

}  // namespace ui_fixture
