#include "downloader/main/usage_dialog.h"

#include "downloader/dialogs/vexim_resource.h"

namespace ui = platform::ui;

namespace {

bool UsageDialogProc(ui::Window self, const ui::Message& message) {
    if (message.kind == ui::MessageKind::Init) return true;
    if (message.kind == ui::MessageKind::Command &&
        (message.id == ui::kIdOk || message.id == ui::kIdCancel)) {
        ui::EndDialog(self, 0);
        return true;
    }
    return false;
}

}  // namespace

void RunUsageDialog(ui::Window owner) { ui::RunDialog(IDD_USAGE, owner, UsageDialogProc); }
