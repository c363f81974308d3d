#include "platform/file_replace.h"

#include <io.h>
#include <windows.h>

#include <cstdio>

namespace platform {

namespace {

std::string FolderOf(const std::string& target) {
    const size_t separator = target.find_last_of("\\/:");
    return separator == std::string::npos ? std::string(".") : target.substr(0, separator + 1);
}

}  // namespace

std::FILE* CreateStagingFile(const std::string& target, std::string& stagingName) {
    stagingName.clear();
    // GetTempFileNameA creates the file under a name that did not exist, in the ANSI code page
    // that fopen reads as well.
    char name[MAX_PATH];
    if (GetTempFileNameA(FolderOf(target).c_str(), "stg", 0, name) == 0)
        return nullptr;
    std::FILE* file = std::fopen(name, "wb");
    if (file == nullptr) {
        DeleteFileA(name);
        return nullptr;
    }
    stagingName = name;
    return file;
}

bool FlushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0)
        return false;
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool MoveFileOver(const std::string& from, const std::string& to) {
    // The A form reads the names in the ANSI code page like fopen; std::filesystem would read
    // them as another encoding and miss a folder whose name holds an en dash.
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

}  // namespace platform
