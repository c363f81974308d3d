#pragma once

#include <cstdint>
#include <cstdio>

#include "downloader/load_step.h"

// One load as LoadUserCode hands it to a loader.
struct LoadJob {
    LoadSteps& steps;         // the load's one attempt counter
    std::FILE* file;          // at the first payload byte; null when the program is not loaded
    bool ignoreHalt;          // no wait for the channel's program to halt
    uint16_t statusRegister;  // S, resolved for this load
    int32_t progressLength;   // object length in bytes, made even
    int32_t fileLength;       // object length in bytes as read (0 when not loading)
};
