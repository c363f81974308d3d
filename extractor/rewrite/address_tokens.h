#pragma once

// The two routines that replace topological addresses inside one line of program code. Both
// match the address on the upper-case form of the line (patterns are given in upper case),
// insert their replacement as given and leave the rest of the line as it was.

#include <string>
#include <string_view>

namespace extractor {

// Replaces every occurrence of `pattern` that ends the address: an occurrence followed by "."
// or a digit belongs to a longer address and stays (the end of the line ends it too). Returns
// the number of replacements.
int replaceAddressToken(std::string& line, std::string_view pattern, std::string_view replacement);

// The same for a caller that keeps the line's upper-case form beside it, for many patterns in
// turn; both are updated.
int replaceAddressToken(std::string& line, std::string& upper, std::string_view pattern,
                        std::string_view replacement);

// Replaces `prefix` and the word number after its separator by `name` + number + "]"
// ("%IW0.3.0.5" by "IBY_DIO_d0_s3.Inputs.IW[5]"). A tab or the character 0x14 between digits
// is passed over; after the last digit it stays. With `ignoreStrings`, an address inside the
// line's first string constant (between a double quote followed by an apostrophe and an
// apostrophe followed by a double quote) is left alone. Returns the number of replacements.
int replaceIndexedAddress(std::string& line, std::string_view prefix, std::string_view name,
                          bool ignoreStrings);
int replaceIndexedAddress(std::string& line, std::string& upper, std::string_view prefix,
                          std::string_view name, bool ignoreStrings);

// The characters both routines have copied into rebuilt lines so far on this thread: the work a
// line cost, which a test holds against the line's length.
std::size_t rewrittenCharacters();

}  // namespace extractor
