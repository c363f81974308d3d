#pragma once

// The message boxes Brondel's commands share: a file that cannot be opened, and a confirmation.

#include <string>
#include <string_view>

namespace dtmrepo {

// "(<site>) Unable to open <path> For INPUT as <n>" (or "For OUTPUT as").
std::string openFailureText(int site, std::string_view path, bool output, int fileNumber);

// That text in a box with no owner, caption "OK" and an OK button.
void showOpenFailure(int site, std::string_view path, bool output, int fileNumber);

// "err=<number> Unable to <command>" in a box with caption "OK": a step of a repository change
// that failed (the change was put back).
void showChangeFailure(int errorNumber, std::string_view command);

// A box with OK and Cancel; true when the user chose OK.
bool confirm(std::string_view text, std::string_view caption);

// A box with an OK button and caption "OK".
void tell(std::string_view text);

}  // namespace dtmrepo
