#include "downloader/dialogs/flash_dialog.h"

#include "downloader/dialogs/vexim_resource.h"
#include "downloader/flash_backup.h"
#include "downloader/settings.h"

namespace ui = platform::ui;

void RunFlashDialog(ui::Window owner, int job) {
    ui::RunDialog(
        IDD_FLASH, owner,
        [](ui::Window self, const ui::Message& message) {
            if (message.kind != ui::MessageKind::Init) return false;
            // The whole job runs while the dialog opens; its messages go over this dialog.
            if (message.lParam == IDM_BACKUP_FLASH) {
                BackupFlashToFile(self, loadOptions.lastFlashFile);
            } else {
                RestoreFlashFromFile(self, loadOptions.lastFlashFile);
            }
            ui::EndDialog(self, 0);
            return true;
        },
        job);
}
