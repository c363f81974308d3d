#pragma once

#include <cstdint>
#include <cstdio>

#include "downloader/load_step.h"

// What a load has done to its channel so far, as far as the module may have carried out its
// requests (an unanswered erase or write may have been): what the user is told when the load
// ends without success, and what it may put back.
struct ChannelChanges {
    enum class Space {
        kUntouched,
        kPartlyErased,  // the module took the erase, yet the space does not read erased
        kErased,
        kPartlyWritten,
        kLoaded,
    };
    Space space = Space::kUntouched;
    // The channel's run byte as this load found it, once a stop that cleared it may have been
    // carried out: what starting the program again puts back. 0 when nothing was stopped.
    uint16_t runByteBefore = 0;
    bool programStopped = false;    // the module took this load's stop; not started again since
    bool autoStartMissing = false;  // Auto Start was asked for and the module has none
    // The load got as far as the channel's program (its stop or its halt check): a failure from
    // there on says what the channel is left in, also when that is as it was.
    bool programReached = false;
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
