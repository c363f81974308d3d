#pragma once

#include "platform/ui.h"

// The flash dialog: "Please wait while accessing flash" while the module's flash is backed up
// into `lastFlashFile` (job IDM_BACKUP_FLASH) or restored from it (any other job).
void RunFlashDialog(platform::ui::Window owner, int job);
