#pragma once

#include <cstddef>
#include <cstdint>

// The relocations of the object being loaded, handed out in ascending order of payload byte
// offset (of two at one offset, the one added later first), with a read cursor that the chunked
// transfer moves forward (and one step back for a value that spans two chunks). Entries are
// kept as added and put in order once, at the first read after an addition.
constexpr uint32_t kCodeFixup = 0x300;
constexpr uint32_t kDataFixup = 0x301;
constexpr uint32_t kHookFixup = 0x302;

struct FixupEntry {
    uint32_t offset;  // byte offset of a 32-bit value, counted from the first payload byte
    uint32_t type;    // kCodeFixup, kDataFixup or kHookFixup
};

void ClearFixups();
void AddFixup(uint32_t offset, uint32_t type);
// The entry at the cursor, advancing it; nullptr once every entry has been handed out.
const FixupEntry* NextFixup();
void RewindFixups();
void StepBackFixups(size_t n);
size_t FixupCount();
// Entry by index, for checks over the whole list.
const FixupEntry& FixupAt(size_t index);
