#pragma once

// References the converted project still makes to the module it no longer has: an address of
// the areas %I, %Q, %IW, %QW, %MW, %MD or %KW (in any letter case) followed by the module's
// rack and slot and a ".". Whatever the passes converted is gone; what is left would not build
// or would read nothing, so each one is named to the user. Text inside comment elements (the
// converted declarations keep their old address there) is no reference.

#include <string>
#include <string_view>
#include <vector>

namespace extractor {

class LeftReferenceScan {
  public:
    LeftReferenceScan(int rack, int slot) : rack_(rack), slot_(slot) {}

    // The references on the line, as written, in order.
    std::vector<std::string> line(std::string_view text);

  private:
    void scan(std::string_view text, std::vector<std::string>& found) const;

    int rack_;
    int slot_;
    bool inComment_ = false;  // a comment element opened on an earlier line
};

}  // namespace extractor
