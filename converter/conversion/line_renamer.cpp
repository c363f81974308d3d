#include "converter/conversion/line_renamer.h"

namespace vornick {

namespace {

// Far beyond what renaming a project's names after its DTM entries can need.
constexpr std::size_t growthFactor = 16;
constexpr std::size_t growthAllowance = std::size_t{1} << 20;

}  // namespace

LineRenamer::LineRenamer(int& replacementCount, std::size_t readLength)
    : replacementCount_(replacementCount), limit_(readLength * growthFactor + growthAllowance) {}

void LineRenamer::rename(std::string& line, std::string_view search, std::string_view replacement,
                         KeyMatch matching) {
    if (!replaceAllCounted(line, search, replacement, replacementCount_, matching, limit_)) {
        overgrown_ = true;
    }
}

}  // namespace vornick
