#pragma once

// What the end of a ZIP archive says of it, read before an archive tool is asked for its
// entries, so that a damaged project archive is named as such and not taken for a tool that
// failed: a file with no end-of-directory record is no ZIP archive; one whose record points
// where no directory of entries stands has a damaged directory.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace platform {

enum class ZipDirectoryState {
    Sound,             // the directory of entries stands where the archive's end says
    NotAnArchive,      // no end-of-directory record
    DamagedDirectory,  // the record points where no directory is
    Unreadable,        // the file cannot be read
};

// Reads `length` bytes at `offset` into `out`; false when they cannot all be read.
using ZipRead = std::function<bool(std::uint64_t offset, std::size_t length, std::string& out)>;

// The state of an archive of `size` bytes read through `read`.
ZipDirectoryState CheckZipDirectory(std::uint64_t size, const ZipRead& read);

// The state of the archive file.
ZipDirectoryState CheckZipDirectory(const std::filesystem::path& archive);

// The failure text for an archive that is not sound, naming it as `shown`; empty when sound.
std::string ZipDirectoryProblemText(ZipDirectoryState state, const std::string& shown);

}  // namespace platform
