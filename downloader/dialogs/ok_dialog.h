#pragma once

#include "platform/ui.h"

// The procedure of a dialog that only shows something: OK (or Escape, or the close box) ends
// it with 0.
bool OkDialogProc(platform::ui::Window self, const platform::ui::Message& message);
