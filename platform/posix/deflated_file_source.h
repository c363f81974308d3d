#pragma once

// A file handed to libzip already deflated. libzip 1.7.3 deflates what it is given at level 9
// whatever level it is asked for, which makes packing a rewritten 100 MB project file several
// times slower than rewriting it. This source deflates the file itself, with zlib at the level
// asked for, while libzip copies the data into the archive: one read of the file, memory that
// does not grow with it, and the CRC and sizes declared once the data has been read.

#include <zip.h>

#include <filesystem>
#include <string>

namespace platform {

// A source for an entry of `archive` holding `file` deflated at `level` (1 fastest .. 9 best).
// Null, with `error` set for the user, when the file can't be read.
zip_source_t* DeflatedFileSource(zip_t* archive, const std::filesystem::path& file, int level,
                                 std::string& error);

}  // namespace platform
