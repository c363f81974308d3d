#pragma once

// Tamsel's main window: the DTM-name field and the menu. File/Open .SVC runs one conversion of
// the chosen service file, and the program ends after it.

#include <ostream>

#include "loadcode/window/tamsel_program.h"

namespace loadcode {

// The window procedure over the program's values; `console` receives the conversion's copy of
// the listing and the summary rows.
bool tamselWndProc(TamselProgram& program, std::ostream& console, platform::ui::Window window,
                   const platform::ui::Message& message);

// Registers the window class, shows the window at 100, 100 (400 x 200) and runs the message
// loop; returns the quit code, or 0 when the class cannot be registered.
int tamselWinMain(TamselProgram& program, std::ostream& console);

}  // namespace loadcode
