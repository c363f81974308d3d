#pragma once

// What Tamsel's main window holds, as tables: the DTM-name field with its label, and the menu
// bar. The window is made by code from them; the resource script describes the same window
// and menu, and a test keeps the two in step.

#include "platform/ui.h"

namespace loadcode {

// The window's children in creation order: the field first, then its label.
platform::ui::DialogSpec tamselWindowSpec();

// The menu bar as the code builds it: File (Open .SVC..., a separator, Exit), then Help
// (Instructions, About).
platform::ui::MenuSpec tamselMenuSpec();

}  // namespace loadcode
