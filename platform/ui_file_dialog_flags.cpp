// The file dialogs' flags, kept apart from the Windows backend so that every platform reads the
// same numbers; the values are those of <commdlg.h>.

#include "platform/ui.h"

namespace platform::ui {
namespace {

constexpr unsigned kExplorer = 0x00080000;       // OFN_EXPLORER
constexpr unsigned kFileMustExist = 0x00001000;  // OFN_FILEMUSTEXIST
constexpr unsigned kPathMustExist = 0x00000800;  // OFN_PATHMUSTEXIST
constexpr unsigned kHideReadOnly = 0x00000004;   // OFN_HIDEREADONLY
constexpr unsigned kNoChangeDir = 0x00000008;    // OFN_NOCHANGEDIR

}  // namespace

unsigned FileDialogFlags(const FileDialogOptions& options, bool save) {
    unsigned flags = kExplorer;
    if (options.mustExist && !save) {
        flags |= kFileMustExist | kPathMustExist;
    }
    if (!options.showReadOnly) {
        flags |= kHideReadOnly;
    }
    if (options.keepDirectory) {
        flags |= kNoChangeDir;
    }
    return flags;
}

}  // namespace platform::ui
