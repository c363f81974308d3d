#pragma once

// The repository operations of Brondel's File menu, each run inside the window procedure and
// ending with the outcome shown in the report field.

#include "dtmrepo/window/brondel_state.h"

namespace dtmrepo {

void installCommand(BrondelState& state);
void removeCommand(BrondelState& state);
void restoreCommand(BrondelState& state);
void rebuildCommand(BrondelState& state);

}  // namespace dtmrepo
