#include "platform/ansi_path.h"

#include <windows.h>

namespace platform {

std::filesystem::path PathFromAnsi(std::string_view name) {
    if (name.empty())
        return {};
    const int length = static_cast<int>(name.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, name.data(), length, nullptr, 0);
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), length, text.data(), wide);
    return std::filesystem::path(text);
}

std::string AnsiFromPath(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int narrow =
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, result.data(), narrow, nullptr, nullptr);
    return result;
}

}  // namespace platform
