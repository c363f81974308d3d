#pragma once

// Tamsel's menu bar, built with the tool menu routines.

#include "platform/ui.h"

namespace loadcode {

// File at bar position 0; Help inserted at position 2 of a bar that holds one popup, so it
// lands second. Attaches the bar to `window`.
void tamselBuildMenu(platform::ui::Window window);

}  // namespace loadcode
