#pragma once

#include <cstdint>
#include <string>

#include "platform/ui.h"

// The largest number a setting takes, and the refusal (one %d for the number) shown over the
// dialog for a larger one; the dialog stays open for another try.
struct NumberLimit {
    int32_t highest = INT32_MAX;
    const char* refusal = nullptr;
};

// The "Configuration" dialog: asks for a positive whole number under `prompt`. Cancel gives
// `initial` back.
int32_t AskNumber(platform::ui::Window owner, const std::string& prompt, int32_t initial,
                  const NumberLimit& limit = {});
