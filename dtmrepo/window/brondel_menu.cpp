#include "dtmrepo/window/brondel_menu.h"

#include "toolshell/tool_menus.h"

namespace dtmrepo {

namespace ui = platform::ui;

const ui::MenuSpec& brondelMenuTable() {
    static const ui::MenuSpec table{
        brondelMenuId,
        {
            {0, true, false, 0, "&File"},
            {1, false, false, commandInstall, "&Install new .txt..."},
            {1, false, false, commandRemove, "&Remove from Repository..."},
            {1, false, true, 0, ""},
            {1, false, false, commandRestore, "Re&store after DTM upgrade..."},
            {1, false, true, 0, ""},
            {1, false, false, commandRebuild, "Rebuild .txt from Unity Pro .&XSY"},
            {1, false, true, 0, ""},
            {1, false, false, commandExit, "&Exit"},
            {0, true, false, 0, "&Help"},
            {1, false, false, commandInstructions, "&Instructions"},
            {1, false, false, commandExample, "&Example"},
            {1, false, false, commandAbout, "&About"},
        }};
    return table;
}

void brondelBuildMenu(ui::Window window) {
    ui::Menu bar = ui::CreateMenuBar();
    int position = -1;
    for (const ui::MenuEntrySpec& entry : brondelMenuTable().entries) {
        if (entry.popup) {
            toolshell::addPopupMenu(bar, ++position, entry.text);
        } else if (entry.separator) {
            toolshell::addMenuSeparator(position);
        } else {
            toolshell::addMenuItem(position, entry.command, entry.text);
        }
    }
    ui::SetMenu(window, bar);
}

}  // namespace dtmrepo
