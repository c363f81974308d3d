#include "converter/window/vornick_menu.h"

#include "converter/window/vornick_resource.h"
#include "toolshell/tool_menus.h"

namespace vornick {

namespace ui = platform::ui;

const ui::MenuSpec& vornickMenuSpec() {
    static const ui::MenuSpec menu{
        IDM_VORNICK,
        {
            {0, true, false, 0, "&File"},
            {1, false, false, IDM_OPEN_ZEF, "&Open .ZEF..."},
            {1, false, true, 0, ""},
            {1, false, false, IDM_EXIT, "&Exit"},
            {0, true, false, 0, "&Help"},
            {1, false, false, IDM_INSTRUCTIONS, "&Instructions"},
            {1, false, false, IDM_ABOUT, "&About"},
        },
    };
    return menu;
}

void vornickBuildMenu(ui::Window window) {
    toolshell::buildToolMenuBar(window, vornickMenuSpec());
}

}  // namespace vornick
