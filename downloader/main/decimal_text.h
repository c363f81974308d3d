#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A decimal number read the way the C library's decimal conversion reads it: leading blanks
// and a sign are accepted and reading stops at the first other character. Unlike that
// conversion, a number too large for any field is reported instead of wrapping or saturating.
struct DecimalText {
    bool hasDigits = false;  // no digits read as the value 0
    bool tooLarge = false;   // more than 18 digits: outside every range the program accepts
    int64_t value = 0;
    size_t end = 0;  // index of the first character not read
};

DecimalText ReadDecimal(std::string_view text);

// The value when it was read without overflow and lies in [low, high].
bool DecimalInRange(const DecimalText& number, int64_t low, int64_t high);
