#include "dtmrepo/parser/line_fields.h"

#include "dtmrepo/parser/vocabulary.h"

namespace dtmrepo {

const std::string& LineFields::field(size_t index) const {
    static const std::string none;
    return index < fields.size() ? fields[index] : none;
}

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

LineFields splitLine(std::string_view line) {
    LineFields result;
    const std::string_view text = trimBlanks(line);
    result.trimmed = std::string(text);
    if (text.empty()) {
        return result;
    }
    std::string current;
    auto close = [&result, &current] {
        if (result.fields.size() < maxLineFields) {
            result.fields.emplace_back(trimBlanks(current));
        } else {
            result.tooManyFields = true;
        }
        current.clear();
    };
    for (char c : text) {
        if (static_cast<unsigned char>(c) < ' ') {
            continue;
        }
        if (c == ',') {
            close();
            ++result.fieldCount;
        } else {
            current += c;
        }
    }
    // A remainder is kept; after a last comma with nothing behind it the field stays empty.
    if (!trimBlanks(current).empty()) {
        close();
    }
    if (result.tooManyFields) {
        result.fields.clear();
    }
    result.keyword = upperCase(result.field(0));
    return result;
}

}  // namespace dtmrepo
