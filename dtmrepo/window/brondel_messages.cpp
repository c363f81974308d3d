#include "dtmrepo/window/brondel_messages.h"

#include "platform/ui.h"

namespace dtmrepo {

namespace ui = platform::ui;

std::string openFailureText(int site, std::string_view path, bool output, int fileNumber) {
    return "(" + std::to_string(site) + ") Unable to open " + std::string(path) +
           (output ? " For OUTPUT as " : " For INPUT as ") + std::to_string(fileNumber);
}

void showOpenFailure(ui::Window owner, int site, std::string_view path, bool output,
                     int fileNumber) {
    tell(owner, openFailureText(site, path, output, fileNumber), ui::Icon::Stop);
}

void showChangeFailure(ui::Window owner, int errorNumber, std::string_view command) {
    tell(owner, "err=" + std::to_string(errorNumber) + " Unable to " + std::string(command),
         ui::Icon::Stop);
}

bool confirm(ui::Window owner, std::string_view text, std::string_view caption) {
    return ui::ShowMessageBox(owner, text, caption, ui::Buttons::OkCancel, ui::Icon::Question) ==
           ui::Answer::Ok;
}

void tell(ui::Window owner, std::string_view text, ui::Icon icon) {
    ui::ShowMessageBox(owner, text, "OK", ui::Buttons::Ok, icon);
}

}  // namespace dtmrepo
