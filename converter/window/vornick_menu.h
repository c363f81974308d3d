#pragma once

// Vornick's menu bar: File (Open .ZEF..., Exit) and Help (Instructions, About). It is built by
// code from this table; the resource script carries the same menu for the Windows build's
// tools, and a test holds the two together.

#include "platform/ui.h"

namespace vornick {

const platform::ui::MenuSpec& vornickMenuSpec();

// Builds the menu bar from the table, attaches it to `window` and redraws it.
void vornickBuildMenu(platform::ui::Window window);

}  // namespace vornick
