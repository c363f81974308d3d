#include "downloader/flash_image.h"

#include <cstdio>

#include "downloader/default_extension.h"
#include "platform/file_replace.h"

std::string FlashImagePath(const std::string& name) {
    return WithDefaultExtension(name, ".bin");
}

FlashImageResult WriteFlashImage(const std::string& path, const FlashImage& image) {
    uint8_t bytes[kFlashImageBytes];
    for (size_t i = 0; i < kFlashImageWords; ++i) {
        bytes[2 * i] = static_cast<uint8_t>(image[i] >> 8);
        bytes[2 * i + 1] = static_cast<uint8_t>(image[i] & 0xFF);
    }
    std::string temporary;
    std::FILE* file = platform::CreateStagingFile(path, temporary);
    if (file == nullptr) {
        return FlashImageResult::kOpenFailed;
    }
    const bool written = std::fwrite(bytes, 1, sizeof bytes, file) == sizeof bytes;
    const bool closed = std::fclose(file) == 0;
    // Moved and removed by the same narrow name fopen took, whatever characters it holds.
    if (written && closed && platform::MoveFileOver(temporary, path)) {
        return FlashImageResult::kOk;
    }
    std::remove(temporary.c_str());
    return FlashImageResult::kWriteFailed;
}

FlashImageResult ReadFlashImage(const std::string& path, FlashImage& image) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return FlashImageResult::kOpenFailed;
    }
    // One byte more than an image, to see a file that is too long.
    uint8_t bytes[kFlashImageBytes + 1];
    const size_t got = std::fread(bytes, 1, sizeof bytes, file);
    const bool readError = std::ferror(file) != 0;
    std::fclose(file);
    if (readError) {
        return FlashImageResult::kOpenFailed;
    }
    if (got != kFlashImageBytes) {
        return FlashImageResult::kWrongSize;
    }
    for (size_t i = 0; i < kFlashImageWords; ++i) {
        image[i] = static_cast<uint16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
    }
    return FlashImageResult::kOk;
}
