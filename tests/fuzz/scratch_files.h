#pragma once

// A scratch folder for fuzz targets whose code under test reads or writes named files: one per
// process (a campaign's workers each get their own), removed when the process ends normally.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// The folder, made on first use.
const std::string& ScratchFolder();
// Writes the bytes to `name` in the scratch folder and returns the file's path.
std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size);

}  // namespace fuzz
