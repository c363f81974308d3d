#include "platform/command_line.h"

namespace platform {

std::string StripProgramName(const std::string& commandLine) {
    size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        at = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        at = commandLine.find_first_of(" \t");
        if (at == std::string::npos)
            at = commandLine.size();
    }
    while (at < commandLine.size() && (commandLine[at] == ' ' || commandLine[at] == '\t'))
        ++at;
    return commandLine.substr(at);
}

}  // namespace platform
