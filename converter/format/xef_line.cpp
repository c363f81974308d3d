#include "converter/format/xef_line.h"

#include <cmath>
#include <limits>

namespace vornick {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
    return at;
}

}  // namespace

bool isWholeKeyAt(std::string_view text, std::size_t at, std::size_t keyLength,
                  std::string_view key) {
    if (key.empty()) {
        return true;
    }
    if (isDigit(key.back()) && at + keyLength < text.size() && isDigit(text[at + keyLength])) {
        return false;
    }
    if (isDigit(key.front()) && at > 0 && isDigit(text[at - 1])) {
        return false;
    }
    return true;
}

bool holdsKey(std::string_view line, std::string_view key) {
    for (std::size_t at = line.find(key); at != std::string_view::npos;
         at = line.find(key, at + 1)) {
        if (isWholeKeyAt(line, at, key.size(), key)) {
            return true;
        }
    }
    return false;
}

std::string attributeValue(std::string_view line, std::string_view attribute) {
    const std::size_t found = line.find(attribute);
    if (found == std::string_view::npos) {
        return {};
    }
    const std::size_t quote = found + attribute.size();
    if (quote >= line.size() || line[quote] != '"') {
        return {};
    }
    const std::size_t end = line.find('"', quote + 1);
    if (end == std::string_view::npos) {
        return {};
    }
    return std::string(line.substr(quote + 1, end - quote - 1));
}

int readNumber(std::string_view text) {
    std::size_t at = skipBlanks(text);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    double value = 0;
    bool digits = false;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
        digits = true;
    }
    if (at < text.size() && text[at] == '.') {
        double scale = 0.1;
        for (++at; at < text.size() && isDigit(text[at]); ++at, scale /= 10) {
            value += (text[at] - '0') * scale;
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    // The run-time's conversion to an integer: to the nearest, halves to the even neighbour.
    value = std::nearbyint(negative ? -value : value);
    constexpr double highest = std::numeric_limits<int>::max();
    constexpr double lowest = std::numeric_limits<int>::min();
    if (value >= highest) {
        return std::numeric_limits<int>::max();
    }
    if (value <= lowest) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

bool startsWithNumber(std::string_view text) {
    const std::size_t at = skipBlanks(text);
    return at < text.size() && isDigit(text[at]);
}

}  // namespace vornick
