#include "toolshell/fennick/fennick_main.h"

#include "extractor/convert_project.h"
#include "platform/command_line.h"
#include "platform/ui.h"
#include "toolshell/fennick/fennick_values.h"
#include "toolshell/fennick/fennick_window.h"
#include "toolshell/tool_window.h"
#include "toolshell/work_folder.h"

namespace fennick {

namespace ui = platform::ui;

std::string batchArchivePath(std::string commandLine) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!commandLine.empty() && blank(commandLine.back())) {
        commandLine.pop_back();
    }
    std::size_t start = 0;
    while (start < commandLine.size() && blank(commandLine[start])) {
        ++start;
    }
    commandLine.erase(0, start);
    if (commandLine.size() >= 2 && commandLine.front() == '"' && commandLine.back() == '"') {
        commandLine = commandLine.substr(1, commandLine.size() - 2);
    }
    return commandLine;
}

int fennickMain(int argc, char** argv) {
    // What runs that were killed left goes at the next start.
    toolshell::WorkFolder::sweepLeftovers("fennick");
    FennickValues values;
    const std::string commandLine = platform::ProgramArguments(argc, argv);
    if (!batchArchivePath(commandLine).empty()) {
        values.fileName = batchArchivePath(commandLine);
        extractor::ConversionOptions options;
        options.fileName = values.fileName;
        options.debugLevel = values.debugLevel;
        options.ignore = values.ignore;
        options.batch = true;
        options.pcpMarkText = values.pcpMarkText;
        return extractor::convertProject(options, values.reportText) ? 0 : 1;
    }
    ui::InitCommonControlClasses();
    FennickWindow window(values);
    toolshell::ToolWindowSpec spec;
    spec.programName = values.programName;
    spec.revisionDate = values.revisionDate;
    spec.procedure = [&window](ui::Window self, const ui::Message& message) {
        return window.handle(self, message);
    };
    return toolshell::toolWinMain(spec);
}

}  // namespace fennick
