#include "dtmrepo/parser/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace dtmrepo {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the leading decimal number of `text` from `start`: sign, digits, fraction and
// an exponent that has digits; 0 when there are no digits at all.
size_t numberLength(std::string_view text, size_t start) {
    size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i - start;
}

constexpr double kIntegerLimit = 1e15;

}  // namespace

double numericValue(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && text[start] == ' ') {
        ++start;
    }
    const size_t length = numberLength(text, start);
    if (length == 0) {
        return 0.0;
    }
    const std::string number(text.substr(start, length));
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : (value > 0 ? HUGE_VAL : -HUGE_VAL);
}

std::string canonicalText(double value) {
    if (value == 0.0) {
        return "0";
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.16g", value);
    return text;
}

std::string canonicalOf(std::string_view text) {
    return canonicalText(numericValue(text));
}

bool passesNumberTest(std::string_view text) {
    return !text.empty() && text == canonicalOf(text);
}

long long roundedInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kIntegerLimit) {
        return static_cast<long long>(kIntegerLimit);
    }
    if (value <= -kIntegerLimit) {
        return -static_cast<long long>(kIntegerLimit);
    }
    return static_cast<long long>(std::nearbyint(value));
}

long long integerValue(std::string_view text) {
    return roundedInteger(numericValue(text));
}

std::string hexText(long long value) {
    unsigned long long bits = static_cast<unsigned long long>(value);
    if (value < 0 && value >= -2147483648LL) {
        bits &= 0xFFFFFFFFULL;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%llX", bits);
    return text;
}

}  // namespace dtmrepo
