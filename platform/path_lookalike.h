#pragma once

// Windows hands a name to its file calls in the ANSI code page, and the conversion to that code
// page "best-fits" characters the page lacks: a fullwidth full stop becomes ".", a fullwidth
// solidus "/". A name read from a file that looks harmless as Unicode ("．．／evil") can then
// climb out of its folder. Every check of such a name asks this too.

#include <string_view>

namespace platform {

// True when UTF-8 `name` holds a character that a code-page conversion turns into ".", "/",
// "\" or ":" (fullwidth and small forms, leaders, division and fraction slashes, ratio).
bool HoldsPathLookAlike(std::string_view name);

}  // namespace platform
