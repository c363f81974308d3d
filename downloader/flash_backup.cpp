#include "downloader/flash_backup.h"

#include "downloader/flash_image.h"
#include "downloader/module_services.h"

namespace ui = platform::ui;

namespace {

bool Fail(ui::Window owner, const char* text) {
    ui::ShowMessageBox(owner, text, "Restore flash", ui::Buttons::Ok, ui::Icon::Stop);
    return false;
}

}  // namespace

bool BackupFlashToFile(ui::Window owner, std::string& name) {
    FlashImage image{};
    if (!BackupFlash(image)) {
        return Fail(owner, "Failed to read flash");
    }
    name = FlashImagePath(name);
    switch (WriteFlashImage(name, image)) {
        case FlashImageResult::kOk:
            return true;
        case FlashImageResult::kOpenFailed:
            return Fail(owner, "Failed to open file for writing");
        default:
            return Fail(owner, "Failed to write flash image file");
    }
}

bool RestoreFlashFromFile(ui::Window owner, const std::string& path) {
    FlashImage image{};
    switch (ReadFlashImage(path, image)) {
        case FlashImageResult::kOk:
            break;
        case FlashImageResult::kWrongSize:
            return Fail(owner, "Flash image file must be 16384 bytes");
        default:
            return Fail(owner, "Failed to open file for reading");
    }
    switch (RestoreFlash(image)) {
        case FlashRestore::kWritten:
            return true;
        case FlashRestore::kPartlyWritten:
            return Fail(owner, "Failed to write flash\nThe flash is partly rewritten.");
        case FlashRestore::kMaybePartlyWritten:
            return Fail(owner, "Failed to write flash\nThe flash may be partly rewritten.");
        default:
            return Fail(owner, "Failed to write flash");
    }
}
