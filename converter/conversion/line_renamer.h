#pragma once

// The renames of one line of the rewrite, counted. The DTM names and IP addresses come from the
// project: one that holds the very names later renames look for would make every rename
// multiply the line. So a line may grow only to a bounded length; a rename beyond it is not
// made and the line is marked, and the conversion refuses the project.

#include <cstddef>
#include <string>
#include <string_view>

#include "converter/conversion/replace_counted.h"

namespace vornick {

class LineRenamer {
  public:
    // `readLength`: the line's length as read from the project.
    LineRenamer(int& replacementCount, std::size_t readLength);

    void rename(std::string& line, std::string_view search, std::string_view replacement,
                KeyMatch matching = KeyMatch::Anywhere);

    bool overgrown() const { return overgrown_; }
    // The replacements counted so far, this line's and those before: a change shows the line
    // was changed.
    int replacementCount() const { return replacementCount_; }

  private:
    int& replacementCount_;
    std::size_t limit_;
    bool overgrown_ = false;
};

}  // namespace vornick
