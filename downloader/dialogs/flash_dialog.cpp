#include "downloader/dialogs/flash_dialog.h"

#include "downloader/dialogs/vexim_resource.h"
#include "downloader/flash_backup.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

namespace {

constexpr int kJobTimer = 1;
constexpr unsigned kJobDelayMs = 10;

}  // namespace

void RunFlashDialog(ui::Window owner, int job) {
    ui::RunDialog(
        IDD_FLASH, owner,
        [job](ui::Window self, const ui::Message& message) {
            // The job starts once the dialog is on the screen, so that its "Please wait" shows
            // while the flash is read or written; its messages go over this dialog.
            if (message.kind == ui::MessageKind::Init) {
                ui::SetTimer(self, kJobTimer, kJobDelayMs);
                return true;
            }
            if (message.kind != ui::MessageKind::Timer || message.id != kJobTimer)
                return false;
            ui::KillTimer(self, kJobTimer);
            // A job that ends well says so, naming the file; a failure has said why.
            const std::string& file = loadOptions.lastFlashFile;
            if (job == IDM_BACKUP_FLASH) {
                if (BackupFlashToFile(self, loadOptions.lastFlashFile)) {
                    ui::ShowMessageBox(self, "Flash backed up to\n" + file, "Backup flash",
                                       ui::Buttons::Ok, ui::Icon::Information);
                }
            } else if (RestoreFlashFromFile(self, file)) {
                ui::ShowMessageBox(self, "Flash restored from\n" + file, "Restore flash",
                                   ui::Buttons::Ok, ui::Icon::Information);
            }
            ui::EndDialog(self, 0);
            return true;
        },
        job);
}
