#pragma once

// File names as the Windows dialogs and command lines give them are in the ANSI code page; the
// standard library's narrow path conversion would read them as another encoding and miss a
// folder whose name holds, say, an en dash. Every tool turns such a name into a path here.

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Windows: ANSI code page to UTF-16. Elsewhere: the bytes unchanged.
std::filesystem::path PathFromAnsi(std::string_view name);

// The reverse, for texts shown to the user or written into reports. Characters the code page
// lacks become "?" on Windows.
std::string AnsiFromPath(const std::filesystem::path& path);

}  // namespace platform
