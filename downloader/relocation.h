#pragma once

#include <cstdint>

// Each fixup block sets its base to the link base stored in the file; before the transfer the
// engine turns each into (base reported by the module - link base), the amount added.
extern uint32_t codeBase;
extern uint32_t dataBase;
extern uint32_t hookBase;

// The last word of a chunk held back because a relocated 32-bit value starts in it; it leads the
// next chunk so that no value is ever split between two write requests.
extern bool carryPending;
extern uint16_t carriedWord;

// Relocates a chunk in place. `startWord` is the payload index the chunk's first word goes to
// (the number of words already sent). A carried word is put in front first, so `words` must have
// room for count + 1. Returns the number of words to send now, from words[0].
uint32_t ApplyFixups(uint16_t* words, uint32_t count, uint32_t startWord);
