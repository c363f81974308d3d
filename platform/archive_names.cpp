#include <string>

#include "platform/archive.h"
#include "platform/path_lookalike.h"

namespace platform {

bool IsSafeEntryName(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return false;
    if (name.size() >= 2 && name[1] == ':')
        return false;  // a drive: "C:x" or "C:\x"
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return name.find('\0') == std::string::npos && !HoldsPathLookAlike(name);
}

}  // namespace platform
