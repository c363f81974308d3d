#pragma once

#include "platform/ui.h"

// The "Configure Communications" dialog: reads the module's port settings when it opens, lets
// the user edit them and writes them back. Ends with 0, or -1 when the first query failed.
int RunCommConfigDialog(platform::ui::Window owner);

bool CommConfigDialogProc(platform::ui::Window self, const platform::ui::Message& message);
