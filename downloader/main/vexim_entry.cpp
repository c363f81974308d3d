// vexim's process entry: the arguments become one command-line text again, each argument that
// holds a blank (or is empty) between double quotes, so the command-line grammar sees the
// tokens the user typed.

#include <string>

#include "downloader/main/program_start.h"
#include "platform/ui.h"

namespace {

std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!line.empty())
            line += ' ';
        const bool needsQuotes =
            argument.empty() || argument.find_first_of(" \t") != std::string::npos;
        line += needsQuotes ? "\"" + argument + "\"" : argument;
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    return platform::ui::RecordExit(vexim::WinMain(JoinArguments(argc, argv)));
}
