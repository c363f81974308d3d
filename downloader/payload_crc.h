#pragma once

#include <cstdint>

// Continues the object code's CRC-16 over `count` words. The value passed in and returned is the
// CRC register with its bytes swapped, so the result of a run over code words is exactly the word
// that, appended, makes the CRC of the whole payload 0. Start value 0xFFFF.
uint16_t PayloadCrc(uint16_t crc, const uint16_t* words, int32_t count);
