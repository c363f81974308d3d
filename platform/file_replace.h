#pragma once

// Putting a finished file in place of an older one, for files that must never be seen half
// written (profiles, images): the new content is written beside the old file first and then
// moved over it in one step.

#include <string>

namespace platform {

// Moves `from` over `to`, replacing `to` when it exists. Both names are in the system's own
// narrow encoding, the one fopen takes (the ANSI code page on Windows), so a name that opened
// a file also moves it. False when the move failed; both files are then as they were.
bool MoveFileOver(const std::string& from, const std::string& to);

}  // namespace platform
