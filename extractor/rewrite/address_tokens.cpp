#include "extractor/rewrite/address_tokens.h"

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool passedOver(char c) {
    return c == '\t' || c == '\x14';
}

}  // namespace

int replaceAddressToken(std::string& line, std::string_view pattern, std::string_view replacement) {
    std::string upper = upperCase(line);
    return replaceAddressToken(line, upper, pattern, replacement);
}

int replaceAddressToken(std::string& line, std::string& upper, std::string_view pattern,
                        std::string_view replacement) {
    if (pattern.empty()) {
        return 0;
    }
    int count = 0;
    std::size_t from = 0;
    for (std::size_t at = upper.find(pattern, from); at != std::string::npos;
         at = upper.find(pattern, from)) {
        const std::size_t end = at + pattern.size();
        if (end < line.size() && (line[end] == '.' || isDigit(line[end]))) {
            from = at + 1;
            continue;
        }
        line.replace(at, pattern.size(), replacement);
        upper.replace(at, pattern.size(), replacement);
        from = at + replacement.size();
        ++count;
    }
    return count;
}

int replaceIndexedAddress(std::string& line, std::string_view prefix, std::string_view name,
                          bool ignoreStrings) {
    std::string upper = upperCase(line);
    return replaceIndexedAddress(line, upper, prefix, name, ignoreStrings);
}

int replaceIndexedAddress(std::string& line, std::string& upper, std::string_view prefix,
                          std::string_view name, bool ignoreStrings) {
    if (prefix.empty()) {
        return 0;
    }
    int count = 0;
    std::size_t from = 0;
    for (std::size_t at = upper.find(prefix, from); at != std::string::npos;
         at = upper.find(prefix, from)) {
        if (ignoreStrings) {
            const std::size_t open = line.find("\"'");
            const std::size_t close = line.find("'\"");
            if (open != std::string::npos && close != std::string::npos && open < at &&
                at < close) {
                from = close;
                continue;
            }
        }
        // The separator after the prefix, then the word number.
        const std::size_t digitsFrom = at + prefix.size() + 1;
        long number = 0;
        std::size_t restFrom = at + prefix.size();  // no digits: the separator stays
        for (std::size_t i = digitsFrom; i < line.size(); ++i) {
            if (isDigit(line[i])) {
                if (number < 100000000) {
                    number = number * 10 + (line[i] - '0');
                }
                restFrom = i + 1;
            } else if (!passedOver(line[i])) {
                break;
            }
        }
        const std::string replacement = std::string(name) + decimal(number) + "]";
        line.replace(at, restFrom - at, replacement);
        upper.replace(at, restFrom - at, replacement);
        from = at + replacement.size();
        ++count;
    }
    return count;
}

}  // namespace extractor
