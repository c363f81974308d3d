#include "platform/command_line.h"

#include <algorithm>

namespace platform {

namespace {

// What the programs' own grammars take for the end of an argument: a blank and every control
// character (vexim splits at bytes 1 to 32), so an argument holding one must be quoted.
bool NeedsQuotes(const std::string& argument) {
    return argument.empty() || std::any_of(argument.begin(), argument.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte >= 1 && byte <= 32;
           });
}

}  // namespace

std::string ProgramArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (i > 1)
            line += ' ';
        line += NeedsQuotes(argument) ? "\"" + argument + "\"" : argument;
    }
    return line;
}

}  // namespace platform
