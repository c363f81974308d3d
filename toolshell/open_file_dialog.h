#pragma once

// The open-file dialog of the tool programs.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace toolshell {

// Shows the open dialog with the program's filter pairs and title. The file and its folder must
// exist and the path must fit in 260 characters. A choice makes the file's folder the current
// directory, which the conversions rely on. Returns the chosen path, or an empty text when the
// user cancels.
std::string openFileDialog(platform::ui::Window owner,
                           const std::vector<platform::ui::FileFilter>& filters,
                           std::string_view title);

}  // namespace toolshell
