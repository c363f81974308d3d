#pragma once

#include "platform/ui.h"

// The "VEXIM Help" dialog with the command-line syntax; OK ends it.
void RunUsageDialog(platform::ui::Window owner);
