#include "dtmrepo/quoted_values.h"

#include <algorithm>

namespace dtmrepo {

std::string quotedValue(std::string_view line, int n) {
    size_t open = std::string_view::npos;
    int seen = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '"') {
            continue;
        }
        ++seen;
        if (seen == 2 * n - 1) {
            open = i;
        } else if (seen == 2 * n) {
            return std::string(line.substr(open + 1, i - open - 1));
        }
    }
    return {};
}

int quoteCount(std::string_view line) {
    return static_cast<int>(std::count(line.begin(), line.end(), '"'));
}

long long hexValue(std::string_view text) {
    long long value = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        }
        if (digit < 0 || value > (1LL << 40)) {
            break;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::string trimmedBy(std::string_view text, size_t front, size_t back) {
    if (text.size() < front + back) {
        return std::string(text);
    }
    return std::string(text.substr(front, text.size() - front - back));
}

}  // namespace dtmrepo
