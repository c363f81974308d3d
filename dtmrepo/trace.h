#pragma once

// Brondel's trace: progress lines on standard output, chosen by the Debug setting. They repeat
// what an operation does for whoever redirected the output; nothing rests on them.

#include <ostream>
#include <string_view>

namespace dtmrepo {

class Trace {
  public:
    explicit Trace(int level = 4);
    Trace(int level, std::ostream& out);

    int level() const { return level_; }
    void setLevel(int level) { level_ = level; }

    // Writes `text` and a line end when the trace level is `atLevel`.
    void line(int atLevel, std::string_view text) const;

  private:
    int level_;
    std::ostream* out_;
};

}  // namespace dtmrepo
