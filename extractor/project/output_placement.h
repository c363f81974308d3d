#pragma once

// Outputs reach the archive's folder only at the end of a conversion, each put in place whole.

#include <filesystem>
#include <string>

namespace extractor {

// Moves `from` to `to`, replacing a file there (some systems refuse to rename over one).
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string& error);

// Puts a copy of `from` at `to`, replacing an earlier file there: the copy is written beside
// `to` under a temporary name and renamed, so `to` is never seen half written.
bool placeFile(const std::filesystem::path& from, const std::filesystem::path& to,
               std::string& error);

}  // namespace extractor
