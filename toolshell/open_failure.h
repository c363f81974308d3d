#pragma once

// The message the tool programs show when a file of theirs cannot be opened. The site number
// tells the support desk which open failed; the error number is the run-time library's.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace toolshell {

// "(<site>) Unable to open <fileName> Err = <errorNumber>".
std::string openFailureText(int site, std::string_view fileName, int errorNumber);

// Shows that text in a message box with no owner and an OK button.
void showOpenFailure(int site, std::string_view fileName, int errorNumber,
                     std::string_view caption);

}  // namespace toolshell
