#pragma once

// Brondel's menu bar, built by code from one table; the resource script carries the same
// menu, and a test keeps the two in step.

#include "platform/ui.h"

namespace dtmrepo {

enum BrondelCommand {
    commandInstall = 100,
    commandRemove = 101,
    commandRestore = 102,
    commandRebuild = 103,
    commandExit = 104,
    commandInstructions = 105,
    commandExample = 106,
    commandAbout = 107,
};

inline constexpr int brondelMenuId = 200;

const platform::ui::MenuSpec& brondelMenuTable();

// Builds the menu bar with the tool menus and attaches it to the window.
void brondelBuildMenu(platform::ui::Window window);

}  // namespace dtmrepo
