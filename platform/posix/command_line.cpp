#include "platform/command_line.h"

namespace platform {

std::string ProgramArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (i > 1)
            line += ' ';
        const bool needsQuotes =
            argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        line += needsQuotes ? "\"" + argument + "\"" : argument;
    }
    return line;
}

}  // namespace platform
