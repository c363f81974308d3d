#include "dtmrepo/writers/profile_layout.h"

#include "dtmrepo/parser/line_fields.h"

namespace dtmrepo {

LayoutResult indentProfile(const std::vector<std::string>& flat, const Trace& trace) {
    LayoutResult result;
    int depth = 0;
    int lineNumber = 0;
    for (const std::string& raw : flat) {
        ++lineNumber;
        trace.line(1, raw);
        const std::string line(trimBlanks(raw));
        for (size_t at = line.find("UNKNOWN"); at != std::string::npos;
             at = line.find("UNKNOWN", at + 1)) {
            ++result.unknownCount;
            trace.line(1, "   WARNING - Found 'UNKNOWN' on line" + std::to_string(lineNumber));
            trace.line(1, " " + line);
        }
        if (line.rfind("</", 0) == 0) {
            --depth;
        }
        result.lines.push_back(std::string(static_cast<size_t>(depth > 0 ? depth : 0) * 5, ' ') +
                               line);
        // Start tags open a level, end tags and self-closed elements close one; an end tag at
        // the start of the line was counted already.
        int brackets = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '<') {
                if (i + 1 < line.size() && line[i + 1] == '/') {
                    depth -= brackets > 0 ? 1 : 0;
                } else {
                    ++depth;
                }
                ++brackets;
            } else if (line[i] == '>') {
                ++brackets;
                if (i > 0 && (line[i - 1] == '/' || line[i - 1] == '?')) {
                    --depth;
                }
            }
        }
    }
    return result;
}

}  // namespace dtmrepo
