#include "platform/command_line.h"

#include <windows.h>

namespace platform {

std::string ProgramArguments(int, char**) {
    const char* raw = GetCommandLineA();
    return StripProgramName(raw != nullptr ? std::string(raw) : std::string());
}

}  // namespace platform
