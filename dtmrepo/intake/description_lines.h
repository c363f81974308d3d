#pragma once

// The physical lines of a description file, as UTF-8 text: a line that is not valid UTF-8 is
// read as Windows-1252, the code page older files were saved in.

#include <istream>
#include <string>

#include "dtmrepo/parser/check_report.h"
#include "dtmrepo/trace.h"

namespace dtmrepo {

class DescriptionLines {
  public:
    DescriptionLines(std::istream& in, CheckReport& report, const Trace& trace);

    // The next valid line, without its line end; false at the end of the file, and at once
    // for a file saved as UTF-16.
    bool next(std::string& line);
    bool isUtf16() const { return utf16_; }

  private:
    std::istream& in_;
    CheckReport& report_;
    const Trace& trace_;
    int lineNumber_ = 0;
    bool utf16_ = false;
};

}  // namespace dtmrepo
