#pragma once

// Description files are UTF-8 text, the encoding the profiles declare; a line that is not is
// reported and left out, so no stray byte reaches a profile.

#include <string>
#include <string_view>

namespace dtmrepo {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// Removes a UTF-8 byte order mark at the start of `line`.
void dropByteOrderMark(std::string& line);

// ISO 8859-1 text (every byte one character) as UTF-8.
std::string utf8FromLatin1(std::string_view text);

}  // namespace dtmrepo
