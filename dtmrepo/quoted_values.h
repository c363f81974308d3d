#pragma once

// Index and profile lines are read as text: the n-th value of a line is the text between its
// double quotes 2n-1 and 2n.

#include <string>
#include <string_view>

namespace dtmrepo {

// The n-th (from 1) quoted value, or an empty text when the line has fewer quotes.
std::string quotedValue(std::string_view line, int n);

// The number of double quotes in the line.
int quoteCount(std::string_view line);

// The value of the leading hexadecimal digits of `text` (0 when there are none).
long long hexValue(std::string_view text);

// `text` less its first `front` and last `back` characters; the text itself when it is too
// short to lose them.
std::string trimmedBy(std::string_view text, size_t front, size_t back);

}  // namespace dtmrepo
