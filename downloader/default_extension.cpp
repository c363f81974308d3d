#include "downloader/default_extension.h"

std::string WithDefaultExtension(const std::string& path, std::string_view extension) {
    // "\" and "/" end a folder; ":" ends a drive ("C:image").
    const size_t separator = path.find_last_of("\\/:");
    const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    if (path.find('.', nameStart) != std::string::npos)
        return path;
    return path + std::string(extension);
}
