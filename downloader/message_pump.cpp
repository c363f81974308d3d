#include "downloader/message_pump.h"

#include "downloader/connection.h"
#include "downloader/loader_ui.h"
#include "downloader/settings.h"
#include "modbus/modbus.h"
#include "platform/ui.h"

namespace ui = platform::ui;

namespace {

// The removal notice does not say which device went; the open port's stream notices the loss of
// its own device and closes, so a link that is no longer open is the one removed.
bool OpenPortWasRemoved() {
    return linkSettings.connectMode == kConnectSerial && CurrentConnection != nullptr &&
           !CurrentConnection->IsOpen();
}

}  // namespace

int32_t PumpMessages() {
    const ui::PumpResult result = ui::PumpMessages();
    // Also after Cancel: the program ends whether or not the job was already stopping.
    if (result.deviceRemoved && OpenPortWasRemoved()) {
        ui::ShowMessageBox(mainDialogWindow, "Serial Port Hardware Problem\nProgram will exit.",
                           "TV&Q VEXIM", ui::Buttons::Ok, ui::Icon::Stop);
        // The connection went with its device; with it closed, no later pump reports it again.
        CloseConnection();
        if (mainDialogWindow != nullptr)
            ui::PostUserMessage(mainDialogWindow, UM_PORT_REMOVED);
    }
    return 0;
}
