#include "toolshell/tool_window.h"

namespace toolshell {

namespace ui = platform::ui;

std::string toolWindowTitle(std::string_view programName, std::string_view revisionDate) {
    std::string title(programName);
    title += " Rev. ";
    title += revisionDate;
    return title;
}

int toolWinMain(const ToolWindowSpec& spec) {
    if (!ui::RegisterWindowClass(spec.programName, spec.procedure, spec.iconId)) {
        return 0;
    }
    ui::WindowSpec window;
    window.className = spec.programName;
    window.title = toolWindowTitle(spec.programName, spec.revisionDate);
    window.x = spec.x;
    window.y = spec.y;
    window.width = spec.width;
    window.height = spec.height;
    // A window that cannot be created leaves the loop running until a quit request, as the
    // programs have always done; there is nothing else for them to show.
    ui::CreateMainWindow(window);
    return ui::RunMessageLoop();
}

void toolMainEnd() {
    ui::ExitProgram(0);
}

}  // namespace toolshell
