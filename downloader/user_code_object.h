#pragma once

#include <cstdint>
#include <cstdio>

// What the header of a user-code object tells the loader.
struct UserCodeHeader {
    bool WriteNewMethod = false;  // the module takes the 0x42 block-write protocol
    bool WriteToRam = false;      // the application asks to be written to RAM, not flash
    uint32_t CodeBlock = 0;       // the application block's length (0 for a raw object)
};

// Reads the header of the open object (at position 0) and checks each requirement block against
// the module on CurrentConnection, asking the user at every mismatch. Fills the fixup list and
// the link bases, and may change the channel option (application number question).
// Returns the object length in bytes with the file at the first payload byte, or -1 when the
// load must not go on (the user has been told, or said No).
int32_t ReadUserCodeHeader(std::FILE* file, UserCodeHeader& header);
