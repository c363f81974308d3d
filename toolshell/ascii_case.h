#pragma once

#include <string>
#include <string_view>

namespace toolshell {

// The text with a to z made A to Z and every other byte kept: the project files' names and
// keywords compare in any letter case, and a byte of a UTF-8 or code-page letter is left alone.
std::string upperCase(std::string_view text);

}  // namespace toolshell
