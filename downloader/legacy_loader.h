#pragma once

#include <cstdint>

#include "downloader/load_job.h"

// The file-record loader for modules without the block-write protocol: erase through the
// channel's file or the command register, the payload unrelocated in records of up to 100 words,
// the word count in record 0. Returns 1 on success, 0 on failure or stop.
int32_t LoadFileLegacy(LoadJob& job);
