#include "dtmrepo/intake/description_lines.h"

#include "dtmrepo/intake/text_encoding.h"
#include "toolshell/text_lines.h"

namespace dtmrepo {

DescriptionLines::DescriptionLines(std::istream& in, CheckReport& report, const Trace& trace)
    : in_(in), report_(report), trace_(trace) {}

bool DescriptionLines::next(std::string& line) {
    if (!toolshell::readTextLine(in_, line)) {
        return false;
    }
    ++lineNumber_;
    if (lineNumber_ == 1) {
        // Read as bytes, every second one a zero: no line of it would be a keyword.
        utf16_ = startsWithUtf16ByteOrderMark(line);
        if (utf16_) {
            return false;
        }
        dropByteOrderMark(line);
    }
    line = utf8Line(line);
    return true;
}

}  // namespace dtmrepo
