#pragma once

// Outputs reach the archive's folder only at the end of a conversion, each renamed into place
// whole.

#include <filesystem>
#include <string>

namespace extractor {

// Moves `from` to `to`, replacing a file there (some systems refuse to rename over one).
bool moveOver(const std::filesystem::path& from, const std::filesystem::path& to,
              std::string& error);

}  // namespace extractor
