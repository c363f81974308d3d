#pragma once

// The counted replace-all of the IBY-to-IBS rewrite. Letters a to z match A to Z either way; the
// replacement goes in as given and the rest of the text keeps its letter case.

#include <string>
#include <string_view>

namespace vornick {

enum class KeyMatch {
    Anywhere,
    // Module suffixes and IP placeholder keys: a key that ends (or begins) in a digit matches
    // only where no further digit follows (or precedes), so "_d0_s1" leaves "_d0_s10" alone.
    WholeKey,
};

// Replaces the search text in `text` and adds one to `replacementCount` per replacement.
// A replacement shorter than its search text is applied under the restart rule: after each
// replacement the search starts again from the first character, so a replacement that joins
// with the text before it can form a new occurrence. Every pass shortens the text, so this
// ends. A replacement at least as long as its search text (which includes one that holds it) is
// applied in one left-to-right pass instead: searching it again could grow the line without end.
// An empty search text changes nothing.
// A pass that would make the text longer than `maxLength` is not made: the text stays as it
// was and the result is false.
bool replaceAllCounted(std::string& text, std::string_view search, std::string_view replacement,
                       int& replacementCount, KeyMatch matching = KeyMatch::Anywhere,
                       std::size_t maxLength = std::string::npos);

}  // namespace vornick
