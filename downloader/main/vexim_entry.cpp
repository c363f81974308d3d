// vexim's process entry: the command line reaches the grammar as the user typed it.

#include "downloader/main/program_start.h"
#include "platform/command_line.h"
#include "platform/ui.h"

int main(int argc, char** argv) {
    return platform::ui::RecordExit(vexim::WinMain(platform::ProgramArguments(argc, argv)));
}
