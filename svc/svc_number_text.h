#pragma once

// Number forms shared by the decoder's listing and its generated files. Hexadecimal forms always
// show the low bits of the value, so a negative intermediate such as an address minus two never
// prints as a sign-extended FFFFFFFE.

#include <string>

namespace svc {

// Decimal without a leading blank.
std::string decimalText(long long value);

// Upper-case hexadecimal of the low 16 bits, without leading zeros ("0" for zero).
std::string hexText(long long value);

// Upper-case hexadecimal of the low 16 bits, exactly four digits.
std::string hex4Text(long long value);

// Upper-case hexadecimal of the low 8 bits, exactly two digits.
std::string hex2Text(long long value);

// A real value in its shortest plain form: 3, 3.5, -0.5; never "-0".
std::string realText(double value);

// Nearest integer, a half going to the even neighbour (1.5 and 2.5 both give 2).
long long roundHalfEven(double value);

}  // namespace svc
