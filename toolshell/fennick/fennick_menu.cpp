#include "toolshell/fennick/fennick_menu.h"

#include "toolshell/tool_menus.h"

namespace fennick {

namespace ui = platform::ui;

ui::MenuSpec fennickMenuSpec(std::string_view ignore) {
    const bool ignoring = ignore != "0";
    ui::MenuSpec menu;
    menu.id = IDM_FENNICK;
    menu.entries = {
        {0, true, false, 0, "&File"},
        {1, false, false, IDM_OPEN_ZEF, "&Open .ZEF..."},
        {1, false, true, 0, ""},
        {1, false, false, IDM_EXIT, "&Exit"},
        {0, true, false, 0, "&Options"},
        {1, false, false, IDM_IGNORE_NO,
         ignoring ? "&Ignore Strings (NO)" : "X &Ignore Strings (NO)"},
        {1, false, false, IDM_IGNORE_YES,
         ignoring ? "X &Ignore Strings (YES)" : "&Ignore Strings (YES)"},
        {0, true, false, 0, "&Help"},
        {1, false, false, IDM_INSTRUCTIONS, "&Instructions"},
        {1, false, false, IDM_ABOUT, "&About"},
    };
    return menu;
}

void fennickBuildMenu(ui::Window window, std::string_view ignore) {
    toolshell::buildToolMenuBar(window, fennickMenuSpec(ignore));
}

}  // namespace fennick
