#pragma once

// A quick test of whether a search text can occur in a line before the rename scans for it.
// Nearly every line of a project holds none of the names the rewrite renames, and scanning each
// line once per rename is what a large project's conversion spends its time on. The line's runs
// of three characters, letters a to z folded to A to Z as the renames compare them, are kept as
// bits; a search text can occur only where every one of its own runs is among them. A bit shared
// by two runs can only let a scan through that finds nothing, never skip one that would find.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vornick {

// The bits of a search text's runs; empty for a text too short to have one, which is always
// scanned for.
using GramKey = std::vector<std::uint16_t>;

GramKey gramKeyOf(std::string_view search);

class LineGrams {
  public:
    explicit LineGrams(std::string_view line) { take(line); }

    // Takes the runs of `line`, forgetting those of the line before.
    void take(std::string_view line);

    bool mayHold(const GramKey& key) const;

  private:
    std::array<std::uint64_t, 16> bits_{};
};

}  // namespace vornick
