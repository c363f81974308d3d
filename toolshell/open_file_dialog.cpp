#include "toolshell/open_file_dialog.h"

namespace toolshell {

platform::ui::FileDialogOptions toolOpenFileDialogOptions(
    const std::vector<platform::ui::FileFilter>& filters, std::string_view title) {
    platform::ui::FileDialogOptions options;
    options.filters = filters;
    options.title = std::string(title);
    options.mustExist = true;
    options.showReadOnly = false;  // a project is read, never written: the box means nothing
    options.keepDirectory = false;
    options.maxLength = 260;
    return options;
}

std::string openFileDialog(platform::ui::Window owner,
                           const std::vector<platform::ui::FileFilter>& filters,
                           std::string_view title) {
    return platform::ui::OpenFileDialog(owner, toolOpenFileDialogOptions(filters, title))
        .value_or(std::string());
}

}  // namespace toolshell
