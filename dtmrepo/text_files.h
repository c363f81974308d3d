#pragma once

// Brondel's text files: read whole as lines, and written so that a failure never leaves a
// half-written file in place of a good one (the new text goes to a file beside the target,
// which then replaces it in one step). Lines are written with CR LF.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dtmrepo {

// The lines of a text file without their line ends, or nothing when it cannot be opened.
std::optional<std::vector<std::string>> readTextFileLines(const std::filesystem::path& path);

// The whole file as bytes, or nothing when it cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Writes `bytes` to a new staging file beside `target`, checks that it holds them, and moves it
// over `target`. False (and `target` as it was) when any step fails.
bool replaceFileWith(const std::filesystem::path& target, std::string_view bytes);

// Removes the staging files in `folder` that a run killed before its move left behind: names
// "stg" + hexadecimal digits + ".tmp", as the system makes them, and nothing else. Only where
// no other run may be writing one at the time.
void removeStagingFiles(const std::filesystem::path& folder);

// A test's view of the moves that put finished files in place: called with the target before
// its staging file moves over it and again after (`moved`). A test stops a run there to see
// what a run killed at that moment leaves. None by default.
using FileMoveObserver = void (*)(const std::filesystem::path& target, bool moved);
void setFileMoveObserver(FileMoveObserver observer);

// The lines joined with CR LF after each.
std::string textWithLineEnds(const std::vector<std::string>& lines);

bool writeTextFileLines(const std::filesystem::path& target, const std::vector<std::string>& lines);

}  // namespace dtmrepo
