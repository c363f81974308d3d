#include "toolshell/fennick/fennick_menu.h"

#include "toolshell/tool_menus.h"

namespace fennick {

namespace ui = platform::ui;

namespace {

// Any setting other than "0" ignores the strings. The two items have access keys of their own
// (N and Y), so the keyboard reaches each.
const char* ignoreItemText(int command, std::string_view ignore) {
    const bool ignoring = ignore != "0";
    if (command == IDM_IGNORE_NO) {
        return ignoring ? "Ignore Strings (&NO)" : "X Ignore Strings (&NO)";
    }
    return ignoring ? "X Ignore Strings (&YES)" : "Ignore Strings (&YES)";
}

}  // namespace

ui::MenuSpec fennickMenuSpec(std::string_view ignore) {
    ui::MenuSpec menu;
    menu.id = IDM_FENNICK;
    menu.entries = {
        {0, true, false, 0, "&File"},
        {1, false, false, IDM_OPEN_ZEF, "&Open .ZEF..."},
        {1, false, true, 0, ""},
        {1, false, false, IDM_EXIT, "&Exit"},
        {0, true, false, 0, "&Options"},
        {1, false, false, IDM_IGNORE_NO, ignoreItemText(IDM_IGNORE_NO, ignore)},
        {1, false, false, IDM_IGNORE_YES, ignoreItemText(IDM_IGNORE_YES, ignore)},
        {0, true, false, 0, "&Help"},
        {1, false, false, IDM_INSTRUCTIONS, "&Instructions"},
        {1, false, false, IDM_ABOUT, "&About"},
    };
    return menu;
}

void fennickBuildMenu(ui::Window window, std::string_view ignore) {
    toolshell::buildToolMenuBar(window, fennickMenuSpec(ignore));
}

void fennickMarkIgnoreItems(ui::Window window, std::string_view ignore) {
    for (int command : {IDM_IGNORE_NO, IDM_IGNORE_YES}) {
        ui::SetMenuItemText(window, command, ignoreItemText(command, ignore));
    }
}

}  // namespace fennick
