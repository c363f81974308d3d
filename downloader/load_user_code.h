#pragma once

#include <cstdint>

// A download on the open connection: checks the channel, the file and the registers, reads the
// object's header against the module and hands the transfer to the block-write or the legacy
// loader. 1 when the program was loaded (or erased and stopped with Load off), 0 otherwise;
// every failure has been shown. The caller closes the connection afterwards.
int32_t LoadUserCode(bool ignoreHalt);
