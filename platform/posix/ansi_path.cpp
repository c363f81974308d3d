#include "platform/ansi_path.h"

namespace platform {

std::filesystem::path PathFromAnsi(std::string_view name) {
    return std::filesystem::path(std::string(name));
}

std::string AnsiFromPath(const std::filesystem::path& path) {
    return path.string();
}

std::string Utf8FromAnsi(std::string_view text) {
    return std::string(text);
}

std::string AnsiFromUtf8(std::string_view text) {
    return std::string(text);
}

}  // namespace platform
