#pragma once

// Description files are UTF-8 text, the encoding the profiles declare. Files saved in the
// Windows code page still exist: a line that is not UTF-8 is read as Windows-1252, so no stray
// byte reaches a profile and no line is lost.

#include <string>
#include <string_view>

namespace dtmrepo {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// True when `text` starts with the byte order mark of UTF-16, little or big endian: what
// Notepad saves as "Unicode" and PowerShell 5 redirects into. Such a file is not read as text
// here; the user is told to save it as UTF-8 or ANSI.
inline bool startsWithUtf16ByteOrderMark(std::string_view text) {
    return text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0;
}

// Removes a UTF-8 byte order mark at the start of `line`.
void dropByteOrderMark(std::string& line);

// ISO 8859-1 text (every byte one character) as UTF-8.
std::string utf8FromLatin1(std::string_view text);

// Windows-1252 text as UTF-8.
std::string utf8FromWindows1252(std::string_view text);

// `line` as it stands when it is UTF-8, else read as Windows-1252.
inline std::string utf8Line(std::string_view line) {
    return isValidUtf8(line) ? std::string(line) : utf8FromWindows1252(line);
}

}  // namespace dtmrepo
