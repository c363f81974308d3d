#include "toolshell/replace_all.h"

#include <algorithm>

namespace toolshell {
namespace {

char foldCase(char c, LetterCase matching) {
    if (matching == LetterCase::Ignore && c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    return c;
}

bool sameText(std::string_view a, std::string_view b, LetterCase matching) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return foldCase(x, matching) == foldCase(y, matching);
           });
}

bool contains(std::string_view text, std::string_view search, LetterCase matching) {
    for (std::size_t at = 0; at + search.size() <= text.size(); ++at) {
        if (sameText(text.substr(at, search.size()), search, matching)) {
            return true;
        }
    }
    return false;
}

}  // namespace

// Restarting the search from the first character finds the same occurrence as going on from
// just before the replacement: the text in front of an occurrence holds none, so the next one
// must end inside or after the inserted text. The text is therefore moved character by
// character onto `done`, which never holds an occurrence; whenever its tail becomes one, the
// tail is dropped and the replacement is pushed back onto the pending input to be read again.
// This gives the restart rule's result without rescanning the whole text after each pass.
ReplaceOutcome replaceEvery(std::string& text, std::string_view search,
                            std::string_view replacement, LetterCase matching) {
    ReplaceOutcome outcome;
    if (search.empty() || contains(replacement, search, matching)) {
        outcome.refused = true;
        return outcome;
    }
    if (!contains(text, search, matching)) {
        return outcome;
    }
    std::string done;
    done.reserve(text.size());
    std::string pending(text.rbegin(), text.rend());  // read from the back
    while (!pending.empty()) {
        done.push_back(pending.back());
        pending.pop_back();
        if (done.size() >= search.size() &&
            sameText(std::string_view(done).substr(done.size() - search.size()), search,
                     matching)) {
            done.resize(done.size() - search.size());
            pending.append(replacement.rbegin(), replacement.rend());
            ++outcome.replacements;
        }
    }
    text = std::move(done);
    return outcome;
}

std::string& replaceAll(std::string& text, std::string_view search, std::string_view replacement) {
    replaceEvery(text, search, replacement);
    return text;
}

}  // namespace toolshell
