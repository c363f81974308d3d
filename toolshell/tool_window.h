#pragma once

// The main window that every tool program opens: its class, its title and its message loop.
// Each program gives its own name, revision date and window procedure.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace toolshell {

struct ToolWindowSpec {
    std::string programName;   // the window-class name and the first part of the title
    std::string revisionDate;  // shown after " Rev. "
    platform::ui::Procedure procedure;
    int iconId = 0;  // 0: the system's default icon
    // Most tools let the system place the window; Tamsel asks for a fixed place and size.
    int x = platform::ui::kDefaultPosition;
    int y = platform::ui::kDefaultPosition;
    int width = platform::ui::kDefaultPosition;
    int height = platform::ui::kDefaultPosition;
};

// "<programName> Rev. <revisionDate>".
std::string toolWindowTitle(std::string_view programName, std::string_view revisionDate);

// Registers the window class, creates and shows the main window (the procedure builds its menu
// and report window when it gets Init), and runs the message loop. Returns the quit request's
// code, or 0 when the class cannot be registered.
int toolWinMain(const ToolWindowSpec& spec);

// The last step of a tool program's main routine: the program ends with exit code 0.
[[noreturn]] void toolMainEnd();

}  // namespace toolshell
