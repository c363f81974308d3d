// vexim's command line over arbitrary text, and the way the arguments reach it.
//
// Whatever the line says, parsing ends, and a line that lets the program go on leaves settings
// that fit their fields. The input split at its NUL bytes is also taken as the argument vector a
// Linux shell hands over: joined into one line (ProgramArguments) and split by vexim's own
// grammar (SplitTokens), it gives back the same arguments, so a file name holding a blank or a
// line break is not cut in two. Arguments with a double quote have no such form and are skipped.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "downloader/main/command_line.h"
#include "downloader/settings.h"
#include "platform/command_line.h"
#include "platform/ui_headless.h"
#include "scratch_files.h"

namespace {

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

void CheckArgumentsRoundTrip(const std::string& input) {
    std::vector<std::string> arguments;
    size_t start = 0;
    for (;;) {
        const size_t end = input.find('\0', start);
        arguments.push_back(input.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    std::vector<char*> argv = {const_cast<char*>("vexim")};
    for (std::string& argument : arguments) {
        if (argument.find('"') != std::string::npos)
            return;
        argv.push_back(argument.data());
    }
    std::string line = platform::ProgramArguments(static_cast<int>(argv.size()), argv.data());
    Check(SplitTokens(line) == arguments);
}

void CheckSettings() {
    Check(loadOptions.fileName.size() <= kMaxFileName);
    Check(loadOptions.profileName.size() <= kMaxFileName);
    Check(loadOptions.portMode.size() <= kMaxPortMode);
    Check(linkSettings.portName.size() <= kMaxPortName);
    // -1 until a profile named by -U gives the drop.
    Check(linkSettings.drop >= -1 && linkSettings.drop <= 255);
    Check(linkSettings.tcpPort <= 65535);
    const int16_t channel = loadOptions.channel;
    Check(channel == 0 || channel == 1 || channel == 2 || channel == 10 || channel == 11);
    // Registers the module has, and a port mode the serial port can use.
    Check(loadOptions.runRegister <= 2048 && loadOptions.statusRegister <= 2080);
    Check(linkSettings.dataBits == 0 || linkSettings.dataBits == 7 || linkSettings.dataBits == 8);
    Check(loadOptions.stopBits == 0 || loadOptions.stopBits == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // -F restores the stored settings: never from the user's own store.
    static const bool storeSet = [] {
        ::setenv("CALVENTO_REGISTRY", (fuzz::ScratchFolder() + "/registry.reg").c_str(), 1);
        return true;
    }();
    (void)storeSet;
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckArgumentsRoundTrip(input);

    platform::ui::headless::StartSession("");
    linkSettings = LinkSettings{};
    loadOptions = LoadOptions{};
    linkSettings.drop = 1;
    loadOptions.channel = 1;
    std::string text = input;
    if (ParseCommandLine(text) == 1)
        CheckSettings();
    Check(text.find('"') == std::string::npos);
    return 0;
}
