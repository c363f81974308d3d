#include "downloader/main/decimal_text.h"

namespace {

constexpr int kMostDigits = 18;  // keeps the value far from the limits of int64_t

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

DecimalText ReadDecimal(std::string_view text) {
    DecimalText number;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (digits < kMostDigits) {
            number.value = number.value * 10 + (text[i] - '0');
        } else {
            number.tooLarge = true;
        }
        ++digits;
        ++i;
    }
    number.hasDigits = digits > 0;
    number.end = number.hasDigits ? i : 0;
    if (negative)
        number.value = -number.value;
    return number;
}

bool DecimalInRange(const DecimalText& number, int64_t low, int64_t high) {
    return !number.tooLarge && number.value >= low && number.value <= high;
}
