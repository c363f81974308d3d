#include "extractor/project/module_references.h"

namespace extractor {

namespace {

constexpr std::string_view commentOpen = "<comment>";
constexpr std::string_view commentClose = "</comment>";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isAddressCharacter(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '.' || c == '_';
}

// The number written at `at`, and where it ends; none without digits.
bool readNumber(std::string_view text, std::size_t& at, long& value) {
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && isDigit(text[at]) && at - start < 9) {
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    return at > start && (at >= text.size() || !isDigit(text[at]));
}

}  // namespace

void LeftReferenceScan::scan(std::string_view text, std::vector<std::string>& found) const {
    for (std::size_t at = text.find('%'); at != std::string_view::npos;
         at = text.find('%', at + 1)) {
        // The area: one letter of I or Q, or two of IW, QW, MW, MD, KW.
        std::size_t i = at + 1;
        const char first = i < text.size() ? upper(text[i]) : '\0';
        const char second = i + 1 < text.size() ? upper(text[i + 1]) : '\0';
        if ((first == 'I' || first == 'Q') && second == 'W') {
            i += 2;
        } else if ((first == 'M' && (second == 'W' || second == 'D')) ||
                   (first == 'K' && second == 'W')) {
            i += 2;
        } else if (first == 'I' || first == 'Q') {
            i += 1;
        } else {
            continue;
        }
        long rack = 0;
        long slot = 0;
        if (!readNumber(text, i, rack) || rack != rack_ || i >= text.size() || text[i] != '.') {
            continue;
        }
        ++i;
        if (!readNumber(text, i, slot) || slot != slot_ || i >= text.size() || text[i] != '.') {
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && isAddressCharacter(text[end])) {
            ++end;
        }
        while (end > i && text[end - 1] == '.') {
            --end;
        }
        found.emplace_back(text.substr(at, end - at));
        at = end - 1;
    }
}

std::vector<std::string> LeftReferenceScan::line(std::string_view text) {
    std::vector<std::string> found;
    // Most lines of a project name no address at all.
    if (text.find('%') == std::string_view::npos && text.find('<') == std::string_view::npos) {
        return found;
    }
    std::size_t from = 0;
    while (from < text.size()) {
        if (inComment_) {
            const std::size_t close = text.find(commentClose, from);
            if (close == std::string_view::npos) {
                return found;
            }
            inComment_ = false;
            from = close + commentClose.size();
            continue;
        }
        const std::size_t open = text.find(commentOpen, from);
        scan(text.substr(from, open == std::string_view::npos ? text.size() - from : open - from),
             found);
        if (open == std::string_view::npos) {
            break;
        }
        inComment_ = true;
        from = open + commentOpen.size();
    }
    return found;
}

}  // namespace extractor
