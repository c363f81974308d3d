#pragma once

// What the report field shows for each display code.

#include <string>

#include "dtmrepo/window/brondel_state.h"

namespace dtmrepo {

// The text for the state's display code; code 11 adds to the text shown before.
std::string composeShownText(const BrondelState& state);

// Sets what the next repaint shows and composes that text now: repainting shows it again and
// never adds to it.
void showOutcome(BrondelState& state, int displayCode);

// "Success!" with the byte counts, or "Failure!".
std::string installVerdict(const BrondelState& state);

}  // namespace dtmrepo
