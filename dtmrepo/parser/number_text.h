#pragma once

// Numbers in description files. A value counts as a number only when it is written exactly as
// its own value would be written back (so "12", "-3" and "2.5" pass, "012", "+12", "12.0" and
// "12abc" do not); the messages show that canonical form so the user sees what to write.

#include <string>
#include <string_view>

namespace dtmrepo {

// The value of the leading decimal number of `text` (leading blanks skipped), 0 when none.
double numericValue(std::string_view text);

// `value` written back: up to 16 significant digits, no leading blank, "0" for zero.
std::string canonicalText(double value);

// The canonical text of the leading number of `text`.
std::string canonicalOf(std::string_view text);

bool passesNumberTest(std::string_view text);

// Integers stored from values are rounded to the nearest whole number, halves to the even one.
// Values far outside any count a description can hold are held at +-10^15, so sums and
// products of them stay exact.
long long roundedInteger(double value);
long long integerValue(std::string_view text);

// Upper-case hexadecimal digits without leading zeros ("65" for 101, "0" for 0); a negative
// number as its 32-bit two's complement.
std::string hexText(long long value);

}  // namespace dtmrepo
