#pragma once

// Windows hands a name to its file calls in the ANSI code page, and the conversion to that code
// page "best-fits" characters the page lacks: a fullwidth full stop becomes ".", a yen sign "\"
// on a Japanese system, a Greek tonos "/" on a Greek one. A name read from a file that looks
// harmless as Unicode ("..¥..¥evil") can then climb out of its folder. Every check of such a
// name asks this too.

#include <string_view>

namespace platform {

// True when UTF-8 `name` holds a character that the best-fit conversion of some Windows ANSI
// code page turns into one of \ / : * ? " < > | or ".", or that reads as one of them. The same
// answer on every system: it does not depend on the code page of the machine it runs on.
bool HoldsPathLookAlike(std::string_view name);

// True when the file calls receive UTF-8 `name` character for character. On Windows the
// program converts the name to the ANSI code page in force before it opens a file: the
// conversion must be exact (no best-fit character, no default character for one the page
// lacks). Elsewhere no such conversion happens; the name must then hold no look-alike above,
// so that a test on Linux refuses what any Windows system could change.
bool ReachesFileCallsUnchanged(std::string_view name);

}  // namespace platform
