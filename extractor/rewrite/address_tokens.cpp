#include "extractor/rewrite/address_tokens.h"

#include "extractor/project/line_text.h"

namespace extractor {

namespace {

thread_local std::size_t charactersWritten = 0;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool passedOver(char c) {
    return c == '\t' || c == '\x14';
}

// A line rebuilt from the pieces of the old one between its replacements: each character is
// copied once, however many addresses the line holds.
class RebuiltLine {
  public:
    RebuiltLine(std::string& line, std::string& upper) : line_(line), upper_(upper) {}

    void replace(std::size_t at, std::size_t length, std::string_view replacement) {
        line_out_.append(line_, kept_, at - kept_);
        upper_out_.append(upper_, kept_, at - kept_);
        line_out_ += replacement;
        upper_out_ += replacement;
        kept_ = at + length;
    }

    // Puts the rebuilt texts in place of the old ones, when anything was replaced.
    void finish(bool replaced) {
        if (!replaced) {
            return;
        }
        line_out_.append(line_, kept_);
        upper_out_.append(upper_, kept_);
        charactersWritten += line_out_.size() + upper_out_.size();
        line_.swap(line_out_);
        upper_.swap(upper_out_);
    }

  private:
    std::string& line_;
    std::string& upper_;
    std::string line_out_, upper_out_;
    std::size_t kept_ = 0;  // the old line is copied up to here
};

}  // namespace

std::size_t rewrittenCharacters() {
    return charactersWritten;
}

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
    RebuiltLine rebuilt(line, upper);
    for (std::size_t at = upper.find(pattern); at != std::string::npos;) {
        const std::size_t end = at + pattern.size();
        if (end < line.size() && (line[end] == '.' || isDigit(line[end]))) {
            at = upper.find(pattern, at + 1);
            continue;
        }
        rebuilt.replace(at, pattern.size(), replacement);
        ++count;
        at = upper.find(pattern, end);
    }
    rebuilt.finish(count > 0);
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
    // The string constant is found once: a replacement neither adds nor removes the quote
    // pairs that mark it, so it stands where it stood.
    std::size_t open = std::string::npos;
    std::size_t close = std::string::npos;
    if (ignoreStrings) {
        open = line.find("\"'");
        close = line.find("'\"");
    }
    int count = 0;
    RebuiltLine rebuilt(line, upper);
    for (std::size_t at = upper.find(prefix); at != std::string::npos;) {
        if (open != std::string::npos && close != std::string::npos && open < at && at < close) {
            at = upper.find(prefix, close);
            continue;
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
        std::string replacement(name);
        replacement += decimal(number);
        replacement += ']';
        rebuilt.replace(at, restFrom - at, replacement);
        ++count;
        at = upper.find(prefix, restFrom);
    }
    rebuilt.finish(count > 0);
    return count;
}

}  // namespace extractor
