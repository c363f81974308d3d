#pragma once

#include <cstdint>
#include <cstdio>

#include "downloader/load_step.h"

// What a load has done to its channel so far: what the user is told when Cancel stops it.
struct ChannelChanges {
    enum class Space { kUntouched, kErased, kPartlyWritten, kLoaded };
    Space space = Space::kUntouched;
    bool programStopped = false;  // stopped by this load and not started again
};

// One load as LoadUserCode hands it to a loader.
struct LoadJob {
    LoadSteps& steps;         // the load's one attempt counter
    std::FILE* file;          // at the first payload byte; null when the program is not loaded
    bool ignoreHalt;          // no wait for the channel's program to halt
    uint16_t statusRegister;  // S, resolved for this load
    int32_t spaceBytes;       // what the load takes of the space: the declared length (made
                              // even) or the bytes sent, whichever is larger
    int32_t sendBytes;        // the bytes the transfer sends: the progress bar's whole
    int32_t fileLength;       // object length in bytes as declared (0 when not loading)
    ChannelChanges changes{};
};
