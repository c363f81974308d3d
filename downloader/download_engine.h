#pragma once

#include <cstdint>

#include "downloader/load_job.h"

// The block-write loader (function code 0x42): payload check, erase, stop, relocated transfer in
// 99-word chunks, CRC word, MD5 digest of the file, loaded length, auto-start byte, restart.
// Returns 1 on success, 0 on failure or stop.
int32_t LoadFileNew(bool writeToRam, LoadJob& job, uint32_t codeBlock);
