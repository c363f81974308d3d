#pragma once

#include <array>
#include <cstdint>
#include <string>

// The module's flash as an image file: 16384 bytes, no header, the 4096 words of file 2560 then
// the 4096 words of file 2816, each word high byte first (the module's own byte order).
constexpr size_t kFlashFileWords = 4096;
constexpr size_t kFlashImageWords = 2 * kFlashFileWords;
constexpr size_t kFlashImageBytes = 2 * kFlashImageWords;

// Register values, as the module answers them.
using FlashImage = std::array<uint16_t, kFlashImageWords>;

// The name with ".bin" appended when its file name holds no ".".
std::string FlashImagePath(const std::string& name);

enum class FlashImageResult { kOk, kOpenFailed, kWriteFailed, kWrongSize };

// Written under a staging name of its own in the same folder and renamed over the target only
// when every byte reached the disk, so a failed backup never leaves a partial image under the
// chosen name and never touches any other file.
FlashImageResult WriteFlashImage(const std::string& path, const FlashImage& image);
// A file of any size but 16384 bytes is refused: it is not an image of the flash (a shorter one
// would leave part of the flash undefined, a longer one is some other file).
FlashImageResult ReadFlashImage(const std::string& path, FlashImage& image);
