#pragma once

// Reading raw description lines before they are cut into fields: the preprocessing looks for
// keywords anywhere in the upper-cased line and takes the value after the first comma.

#include <string>
#include <string_view>

namespace dtmrepo {

// The text after the first comma, leading blanks and then leading tabs removed; empty when the
// line has no comma.
std::string keywordValue(std::string_view line);

}  // namespace dtmrepo
