#pragma once

// Putting a finished file in place of an older one, for files that must never be seen half
// written (profiles, images): the new content is written beside the old file first and then
// moved over it in one step.

#include <cstdio>
#include <string>

namespace platform {

// Creates a new file in the folder of `target`, under a short name that no file there has yet,
// and opens it for writing in binary mode: the staging file that is moved over `target` once it
// is complete. A user's file is never taken for it, whatever its name. Null (and `stagingName`
// empty) when no such file could be made, for instance when the folder does not exist.
std::FILE* CreateStagingFile(const std::string& target, std::string& stagingName);

// Writes what `file` buffers through to the disk itself (fsync / FlushFileBuffers), so that
// the staging file moved over a good file after a power cut holds its bytes. False when the
// system reports a failure.
bool FlushToDisk(std::FILE* file);

// Moves `from` over `to`, replacing `to` when it exists. Both names are in the system's own
// narrow encoding, the one fopen takes (the ANSI code page on Windows), so a name that opened
// a file also moves it. False when the move failed; both files are then as they were.
bool MoveFileOver(const std::string& from, const std::string& to);

}  // namespace platform
