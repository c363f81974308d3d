#pragma once

// The open-file dialog of the tool programs.

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"

namespace toolshell {

// The dialog the tools show: the program's filter pairs and title; the file and its folder must
// exist, the path must fit in 260 characters, the read-only box is hidden (the flags are
// OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY, 0x81804), and a
// choice makes the file's folder the current directory, which the conversions rely on. No
// starting folder is given, so the system opens the folder of the last file chosen.
platform::ui::FileDialogOptions toolOpenFileDialogOptions(
    const std::vector<platform::ui::FileFilter>& filters, std::string_view title);

// Shows that dialog. Returns the chosen path, or an empty text when the user cancels.
std::string openFileDialog(platform::ui::Window owner,
                           const std::vector<platform::ui::FileFilter>& filters,
                           std::string_view title);

}  // namespace toolshell
