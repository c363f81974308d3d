#include "loadcode/window/tamsel_menu.h"

#include "loadcode/window/tamsel_resource.h"
#include "toolshell/tool_menus.h"

namespace loadcode {

namespace ui = platform::ui;

void tamselBuildMenu(ui::Window window) {
    ui::Menu bar = ui::CreateMenuBar();
    toolshell::addPopupMenu(bar, 0, "&File");
    toolshell::addMenuItem(0, IDM_OPEN_SVC, "&Open .SVC...");
    toolshell::addMenuSeparator(0);
    toolshell::addMenuItem(0, IDM_EXIT, "&Exit");
    toolshell::addPopupMenu(bar, 2, "&Help");
    toolshell::addMenuItem(2, IDM_INSTRUCTIONS, "&Instructions");
    toolshell::addMenuItem(2, IDM_ABOUT, "&About");
    ui::SetMenu(window, bar);
}

}  // namespace loadcode
