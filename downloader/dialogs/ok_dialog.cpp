#include "downloader/dialogs/ok_dialog.h"

namespace ui = platform::ui;

bool OkDialogProc(ui::Window self, const ui::Message& message) {
    if (message.kind == ui::MessageKind::Init)
        return true;
    if (message.kind == ui::MessageKind::Command &&
        (message.id == ui::kIdOk || message.id == ui::kIdCancel)) {
        ui::EndDialog(self, 0);
        return true;
    }
    return false;
}
