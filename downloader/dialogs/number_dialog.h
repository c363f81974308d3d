#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"

// The "Configuration" dialog: asks for a positive whole number under `prompt`. Cancel gives
// `initial` back.
int32_t AskNumber(platform::ui::Window owner, const std::string& prompt, int32_t initial);
