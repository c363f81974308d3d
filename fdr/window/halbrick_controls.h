#pragma once

// Halbrick's main window as tables: its children in creation order with their places and
// styles, and its menu. The program builds the window from them; the resource script
// describes the same controls and menu for Windows, and a test holds the two together.

#include <vector>

#include "platform/ui.h"

namespace fdr {

// query button, address field, presets USB, 192 and 172, detail button, report field,
// progress bar.
const std::vector<platform::ui::ChildSpec>& halbrickChildren();
const platform::ui::MenuSpec& halbrickMenu();

// The children as a control table, for the comparison with the resource script.
platform::ui::DialogSpec halbrickControlTable();

// Builds the menu bar from the table and attaches it to the window.
void attachHalbrickMenu(platform::ui::Window window);

}  // namespace fdr
