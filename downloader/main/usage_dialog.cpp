#include "downloader/main/usage_dialog.h"

#include "downloader/dialogs/ok_dialog.h"
#include "downloader/dialogs/vexim_resource.h"

void RunUsageDialog(platform::ui::Window owner) {
    platform::ui::RunDialog(IDD_USAGE, owner, OkDialogProc);
}
