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

// A name in the ANSI code page as UTF-8, for files that declare that encoding (XML), and back.
// Windows converts (characters the code page lacks become "?"); elsewhere both keep the bytes.
std::string Utf8FromAnsi(std::string_view text);
std::string AnsiFromUtf8(std::string_view text);

}  // namespace platform
