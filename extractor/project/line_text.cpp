#include "extractor/project/line_text.h"

namespace extractor {

namespace {

constexpr long numberCeiling = 999999999;

}  // namespace

std::string_view firstQuotedValue(std::string_view line) {
    const std::size_t open = line.find('"');
    if (open == std::string_view::npos) {
        return {};
    }
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string_view::npos) {
        return {};
    }
    return line.substr(open + 1, close - open - 1);
}

std::string_view attributeValue(std::string_view line, std::string_view attribute) {
    const std::size_t at = line.find(attribute);
    if (at == std::string_view::npos) {
        return {};
    }
    return firstQuotedValue(line.substr(at + attribute.size()));
}

std::optional<AttributeSpan> attributeSpan(std::string_view line, std::string_view name) {
    if (name.empty()) {
        return std::nullopt;
    }
    for (std::size_t at = line.find(name); at != std::string_view::npos;
         at = line.find(name, at + 1)) {
        const char before = at == 0 ? ' ' : line[at - 1];
        if (before != ' ' && before != '\t' && before != '<') {
            continue;  // the end of a longer name
        }
        std::size_t i = at + name.size();
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (i >= line.size() || line[i] != '=') {
            continue;
        }
        ++i;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (i >= line.size() || line[i] != '"') {
            continue;
        }
        const std::size_t close = line.find('"', i + 1);
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        return AttributeSpan{i + 1, close - i - 1};
    }
    return std::nullopt;
}

std::string_view namedAttribute(std::string_view line, std::string_view name) {
    const std::optional<AttributeSpan> span = attributeSpan(line, name);
    return span ? line.substr(span->at, span->length) : std::string_view();
}

bool expandEmptyElement(std::string& line, std::string_view name) {
    std::string open(1, '<');
    open.append(name);
    for (std::size_t at = line.find(open); at != std::string::npos; at = line.find(open, at + 1)) {
        std::size_t i = at + open.size();
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        if (line.compare(i, 2, "/>") == 0) {
            // Built by appending: GCC 12 takes a replace with a joined literal for an
            // overlapping copy (-Wrestrict) in the 32-bit build.
            std::string rebuilt(line, 0, at);
            rebuilt += open;
            rebuilt.append("></");
            rebuilt.append(name);
            rebuilt.push_back('>');
            rebuilt.append(line, i + 2);
            line.swap(rebuilt);
            return true;
        }
    }
    return false;
}

long leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > numberCeiling) {
            value = numberCeiling;
        }
    }
    return value;
}

bool startsWithDigit(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

long configurationValue(std::string_view line) {
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos) {
        return 0;
    }
    long value = 0;
    for (std::size_t i = quote + 3; i < line.size(); ++i) {
        const char c = line[i];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            break;
        }
        value = value * 16 + digit;
        if (value > numberCeiling) {
            value = numberCeiling;
        }
    }
    return value;
}

std::string decimal(long long value) {
    return std::to_string(value);
}

}  // namespace extractor
