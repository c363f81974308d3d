#include "platform/ansi_path.h"

#include <windows.h>

namespace platform {

namespace {

std::wstring Wide(unsigned codePage, std::string_view text) {
    const int length = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), wide);
    return result;
}

std::string Narrow(unsigned codePage, const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int narrow =
        WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, result.data(), narrow, nullptr, nullptr);
    return result;
}

}  // namespace

std::filesystem::path PathFromAnsi(std::string_view name) {
    if (name.empty())
        return {};
    return std::filesystem::path(Wide(CP_ACP, name));
}

std::string AnsiFromPath(const std::filesystem::path& path) {
    if (path.native().empty())
        return {};
    return Narrow(CP_ACP, path.native());
}

std::string Utf8FromAnsi(std::string_view text) {
    return text.empty() ? std::string() : Narrow(CP_UTF8, Wide(CP_ACP, text));
}

std::string AnsiFromUtf8(std::string_view text) {
    return text.empty() ? std::string() : Narrow(CP_ACP, Wide(CP_UTF8, text));
}

}  // namespace platform
