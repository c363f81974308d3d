#include "converter/conversion/replace_counted.h"

#include <cstring>

#include "converter/format/xef_line.h"

namespace vornick {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameIgnoringCase(std::string_view text, std::size_t at, std::string_view search) {
    for (std::size_t i = 0; i < search.size(); ++i) {
        if (upper(text[at + i]) != upper(search[i])) {
            return false;
        }
    }
    return true;
}

bool digitAt(std::string_view text, std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

bool isDigitChar(char c) {
    return c >= '0' && c <= '9';
}

bool occursAt(std::string_view text, std::size_t at, std::string_view search, KeyMatch matching) {
    if (at + search.size() > text.size() || !sameIgnoringCase(text, at, search)) {
        return false;
    }
    return matching == KeyMatch::Anywhere || isWholeKeyAt(text, at, search.size(), search);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Most lines hold no occurrence: the places to compare at are found with memchr, which looks
// for the search text's first character in either case.
std::size_t firstOccurrence(std::string_view text, std::string_view search, KeyMatch matching,
                            std::size_t from = 0) {
    if (search.size() > text.size()) {
        return std::string_view::npos;
    }
    const char up = upper(search.front());
    const char low = lower(up);
    const char* const start = text.data();
    const std::size_t last = text.size() - search.size();  // the last place it can start at
    for (std::size_t at = from; at <= last; ++at) {
        const std::size_t span = last - at + 1;
        const void* found = std::memchr(start + at, up, span);
        if (low != up) {
            const std::size_t before =
                found != nullptr
                    ? static_cast<std::size_t>(static_cast<const char*>(found) - (start + at))
                    : span;
            if (const void* other = std::memchr(start + at, low, before)) {
                found = other;
            }
        }
        if (found == nullptr) {
            break;
        }
        at = static_cast<std::size_t>(static_cast<const char*>(found) - start);
        if (occursAt(text, at, search, matching)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Where one left-to-right pass finds its occurrences: each one found is skipped whole.
template <class Found>
void eachInOnePass(std::string_view text, std::size_t from, std::string_view search,
                   KeyMatch matching, Found found) {
    for (std::size_t at = firstOccurrence(text, search, matching, from);
         at != std::string_view::npos;
         at = firstOccurrence(text, search, matching, at + search.size())) {
        found(at);
    }
}

// -1 when the result would be longer than `maxLength`; the text is then left as it was.
int replaceInOnePass(std::string& text, std::string_view search, std::string_view replacement,
                     KeyMatch matching, std::size_t maxLength) {
    const std::size_t first = firstOccurrence(text, search, matching);
    if (first == std::string_view::npos) {
        return 0;
    }
    std::size_t occurrences = 0;
    eachInOnePass(text, first, search, matching, [&](std::size_t) { ++occurrences; });
    const std::size_t growth = replacement.size() - search.size();
    if (growth > 0 &&
        (maxLength < text.size() || (maxLength - text.size()) / growth < occurrences)) {
        return -1;
    }
    std::string out;
    out.reserve(text.size() + occurrences * growth);
    std::size_t copied = 0;
    eachInOnePass(text, first, search, matching, [&](std::size_t at) {
        out.append(text, copied, at - copied);
        out += replacement;
        copied = at + search.size();
    });
    out.append(text, copied, std::string::npos);
    text = std::move(out);
    return static_cast<int>(occurrences);
}

// The restart rule without rescanning from the start: the text in front of the first
// occurrence holds none, and after a replacement only a match that reaches into the inserted
// text can be new. So the text moves character by character onto `done`, which never holds an
// occurrence other than, possibly, one at its end that the next character decides (a key that
// ends in a digit is not whole while a digit follows). When the end of `done` is an occurrence,
// it is dropped and the replacement is pushed back in front of the pending text, to be read
// again. Each replacement shortens the text, so the loop ends.
int replaceRestarting(std::string& text, std::string_view search, std::string_view replacement,
                      KeyMatch matching) {
    const std::size_t first = firstOccurrence(text, search, matching);
    if (first == std::string_view::npos) {
        return 0;
    }
    // Everything in front of the first occurrence is final.
    std::string done = text.substr(0, first);
    done.reserve(text.size());
    std::string pending(text.rbegin(), text.rend() - static_cast<std::ptrdiff_t>(first));
    int replaced = 0;
    const bool digitEnd = isDigitChar(search.back());
    const bool digitStart = isDigitChar(search.front());
    for (;;) {
        if (done.size() >= search.size()) {
            const std::size_t at = done.size() - search.size();
            bool whole = sameIgnoringCase(done, at, search);
            if (whole && matching == KeyMatch::WholeKey) {
                if (digitEnd && !pending.empty() && isDigitChar(pending.back())) {
                    whole = false;
                }
                if (digitStart && at > 0 && digitAt(done, at - 1)) {
                    whole = false;
                }
            }
            if (whole) {
                done.resize(at);
                pending.append(replacement.rbegin(), replacement.rend());
                ++replaced;
                continue;
            }
        }
        if (pending.empty()) {
            break;
        }
        done.push_back(pending.back());
        pending.pop_back();
    }
    text = std::move(done);
    return replaced;
}

}  // namespace

bool replaceAllCounted(std::string& text, std::string_view search, std::string_view replacement,
                       int& replacementCount, KeyMatch matching, std::size_t maxLength) {
    if (search.empty()) {
        return true;
    }
    if (replacement.size() < search.size()) {
        replacementCount += replaceRestarting(text, search, replacement, matching);
        return true;
    }
    const int replaced = replaceInOnePass(text, search, replacement, matching, maxLength);
    if (replaced < 0) {
        return false;
    }
    replacementCount += replaced;
    return true;
}

}  // namespace vornick
