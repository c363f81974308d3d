#pragma once

// The message boxes Brondel's commands share: a file that cannot be opened, and a confirmation.
// Each box is owned by the main window (`owner`), so that it stays above it and the window
// takes no input while it is up.

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace dtmrepo {

// "(<site>) Unable to open <path> For INPUT as <n>" (or "For OUTPUT as").
std::string openFailureText(int site, std::string_view path, bool output, int fileNumber);

// That text in a box with caption "OK", an OK button and the stop icon.
void showOpenFailure(platform::ui::Window owner, int site, std::string_view path, bool output,
                     int fileNumber);

// "err=<number> Unable to <command>" in a box with caption "OK": a step of a repository change
// that failed (the change was put back).
void showChangeFailure(platform::ui::Window owner, int errorNumber, std::string_view command);

// A box with OK and Cancel and the question icon; true when the user chose OK.
bool confirm(platform::ui::Window owner, std::string_view text, std::string_view caption);

// A box with an OK button and caption "OK".
void tell(platform::ui::Window owner, std::string_view text,
          platform::ui::Icon icon = platform::ui::Icon::Information);

}  // namespace dtmrepo
