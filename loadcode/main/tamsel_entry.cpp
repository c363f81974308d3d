// Tamsel: decodes an InterBus-S service file into a listing and the PLC load code of the PMEDWL
// module. The command line is not used.

#include <iostream>

#include "loadcode/window/tamsel_program.h"
#include "loadcode/window/tamsel_window.h"
#include "platform/ui.h"

int main() {
    loadcode::TamselProgram program;
    platform::ui::InitCommonControlClasses();
    return platform::ui::RecordExit(loadcode::tamselWinMain(program, std::cout));
}
