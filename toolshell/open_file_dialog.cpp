#include "toolshell/open_file_dialog.h"

namespace toolshell {

std::string openFileDialog(platform::ui::Window owner,
                           const std::vector<platform::ui::FileFilter>& filters,
                           std::string_view title) {
    platform::ui::FileDialogOptions options;
    options.filters = filters;
    options.title = std::string(title);
    options.mustExist = true;
    options.keepDirectory = false;
    options.maxLength = 260;
    return platform::ui::OpenFileDialog(owner, options).value_or(std::string());
}

}  // namespace toolshell
