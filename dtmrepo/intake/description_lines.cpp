#include "dtmrepo/intake/description_lines.h"

#include "dtmrepo/intake/text_encoding.h"
#include "toolshell/text_lines.h"

namespace dtmrepo {

DescriptionLines::DescriptionLines(std::istream& in, CheckReport& report, const Trace& trace)
    : in_(in), report_(report), trace_(trace) {}

bool DescriptionLines::next(std::string& line) {
    while (toolshell::readTextLine(in_, line)) {
        ++lineNumber_;
        if (lineNumber_ == 1) {
            dropByteOrderMark(line);
        }
        if (isValidUtf8(line)) {
            return true;
        }
        report_.error("Not valid UTF-8 text, line left out!     on line " + decimal(lineNumber_) +
                          " of the description file",
                      trace_);
    }
    return false;
}

}  // namespace dtmrepo
