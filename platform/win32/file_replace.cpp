#include "platform/file_replace.h"

#include <windows.h>

namespace platform {

bool MoveFileOver(const std::string& from, const std::string& to) {
    // The A form reads the names in the ANSI code page like fopen; std::filesystem would read
    // them as another encoding and miss a folder whose name holds an en dash.
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace platform
