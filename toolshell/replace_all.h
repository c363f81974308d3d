#pragma once

// Replace-all as the tool programs' rewrites need it: after every replacement the search starts
// again from the first character of the rebuilt text, so a replacement may join with the text
// before it to form a new occurrence ("aa" by "a" in "aaa" gives "a").

#include <string>
#include <string_view>

namespace toolshell {

enum class LetterCase {
    Exact,
    Ignore,  // letters a to z match A to Z; the rest of the text keeps its case
};

struct ReplaceOutcome {
    int replacements = 0;
    // The pair was refused and the text left unchanged: an empty search text, or a replacement
    // that holds the search text, would be found again after every pass and never end.
    bool refused = false;
};

// Replaces every occurrence under the search-from-the-start rule and counts the replacements.
ReplaceOutcome replaceEvery(std::string& text, std::string_view search,
                            std::string_view replacement, LetterCase matching = LetterCase::Exact);

// Updates `text` in place and returns it as well.
std::string& replaceAll(std::string& text, std::string_view search, std::string_view replacement);

}  // namespace toolshell
