#pragma once

// Vornick's program shell: one main window with its menu and read-only report window. File,
// Open .ZEF... runs exactly one conversion of the chosen archive, after which the program quits.

#include <ostream>
#include <string>

#include "platform/ui.h"

namespace vornick {

// The program's state for the whole run.
struct VornickShell {
    int debugLevel = 4;    // the Debug setting; nothing depends on it
    std::string clevPath;  // the ClevPath setting; kept for the other tools of the family
    std::string debugText;
    int displayCode = 0;  // 2 once File/Open has run: the paint no longer shows the intro
    std::string zefPath;
    std::string reportText;
    std::ostream* console = nullptr;  // the conversion's trace lines
};

// The window procedure over `shell`.
platform::ui::Procedure vornickWndProc(VornickShell& shell);

// The program: registers the window class, runs the window until it quits and returns the quit
// code. Console lines go to `console`.
int vornickMain(std::ostream& console);

}  // namespace vornick
