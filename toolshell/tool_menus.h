#pragma once

// The tool menus, built by code: popups are kept by their position on the menu bar, so that
// items can be added to them by that position.

#include <array>
#include <string_view>

#include "platform/ui.h"

namespace toolshell {

inline constexpr int popupMenuSlots = 11;  // menu-bar positions 0 to 10

// Filled while the main window is created; the popups belong to the menu bar once inserted.
extern std::array<platform::ui::Menu, popupMenuSlots> popupMenuTable;

// Creates a popup, keeps it at `position` of the table and inserts it into `bar` at that
// position. Returns the popup, or null (and nothing inserted) for a position without a slot.
platform::ui::Menu addPopupMenu(platform::ui::Menu bar, int position, std::string_view caption,
                                unsigned flags = 0);

// Append to the popup kept at `position`; a position without a popup is ignored.
void addMenuItem(int position, int command, std::string_view caption, unsigned flags = 0);
void addMenuSeparator(int position);

// Builds a menu bar from a table in resource order (popups at depth 0, their items at depth 1)
// through the calls above, attaches it to `window` and redraws it. A tool that keeps its menu
// as a table uses the same table for its resource script's check.
void buildToolMenuBar(platform::ui::Window window, const platform::ui::MenuSpec& menu);

}  // namespace toolshell
