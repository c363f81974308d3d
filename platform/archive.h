#pragma once

// Project archives (.ZEF files are ZIP archives). Linux reads and writes them with libzip;
// Windows hands the work to PowerShell's archive cmdlets, as the engineers' machines have them.
// Callers work in a private folder: they unpack there, rewrite files in the unpacked tree and
// ask for a new archive, which appears under its final name only when it is complete.

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

struct ArchiveResult {
    bool ok = false;
    std::string error;  // for the user when !ok: what failed and on which file
};

// Unpacks every entry of `archive` into `folder` (made when missing). The archive is never
// changed. Entry names may separate folders with "/" or "\"; a name that climbs out of the
// folder ("..", an absolute path, a drive) refuses the whole archive before anything is
// written.
ArchiveResult UnpackArchive(const std::filesystem::path& archive,
                            const std::filesystem::path& folder);

// As UnpackArchive, for a caller that reads only the entries named in `entries` (names as they
// stand in the archive, "/" between folders) and repacks with RepackArchive.
//  - libzip: only those entries are written to `folder`; the rest stay in the archive, from
//    which RepackArchive copies them as they are. A huge entry the caller never reads costs
//    neither its write nor its room on the disk. Every entry name is still checked.
//  - PowerShell: every entry is unpacked, as that road's repack packs the whole folder.
ArchiveResult UnpackArchiveEntries(const std::filesystem::path& archive,
                                   const std::filesystem::path& folder,
                                   const std::vector<std::string>& entries);

// Writes `output` as the archive `input` with the entries named in `changedEntries` (names as
// they stand in the archive) taken from their rewritten files in the unpacked `folder`.
//  - libzip: every other entry is copied as it is, byte for byte, in the same order; a changed
//    entry the archive lacks is added at the end. Changed entries are deflated at a fast level,
//    reading each file once with memory that does not grow with it.
//  - PowerShell: the whole unpacked folder is compressed anew (Compress-Archive).
// The archive is written under a temporary name in `output`'s folder and renamed into place;
// on failure `output` is as it was and no temporary file is left.
ArchiveResult RepackArchive(const std::filesystem::path& input, const std::filesystem::path& folder,
                            const std::vector<std::string>& changedEntries,
                            const std::filesystem::path& output);

// What does the archive work, for a program's About or version line: "libzip 1.7.3" on Linux,
// "PowerShell" on Windows.
std::string ArchiveEngineName();

// True when an entry name stays inside the folder it is unpacked into.
bool IsSafeEntryName(const std::string& name);

}  // namespace platform
