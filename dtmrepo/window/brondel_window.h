#pragma once

// Brondel's main window: settings re-read on every message, the menu and the two children
// built on creation, the layout on resize, one repository operation per menu command, and the
// outcome shown in the report field.

#include "dtmrepo/window/brondel_state.h"
#include "platform/ui.h"

namespace dtmrepo {

// The settings of the program's key: UnityPath and Debug (each gets its default when empty).
void readBrondelSettings(BrondelState& state);

bool brondelWndProc(BrondelState& state, platform::ui::Window self,
                    const platform::ui::Message& message);

// Registers the class, creates the main window and runs the message loop; returns the quit
// code (0 when the class cannot be registered).
int brondelWinMain(BrondelState& state);

// The program: the state's start values, the common controls, the window. Returns the exit
// code.
int brondelMain();

}  // namespace dtmrepo
