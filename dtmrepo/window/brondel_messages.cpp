#include "dtmrepo/window/brondel_messages.h"

#include "platform/ui.h"

namespace dtmrepo {

namespace ui = platform::ui;

std::string openFailureText(int site, std::string_view path, bool output, int fileNumber) {
    return "(" + std::to_string(site) + ") Unable to open " + std::string(path) +
           (output ? " For OUTPUT as " : " For INPUT as ") + std::to_string(fileNumber);
}

void showOpenFailure(int site, std::string_view path, bool output, int fileNumber) {
    tell(openFailureText(site, path, output, fileNumber));
}

void showChangeFailure(int errorNumber, std::string_view command) {
    tell("err=" + std::to_string(errorNumber) + " Unable to " + std::string(command));
}

bool confirm(std::string_view text, std::string_view caption) {
    return ui::ShowMessageBox(nullptr, text, caption, ui::Buttons::OkCancel) == ui::Answer::Ok;
}

void tell(std::string_view text) {
    ui::ShowMessageBox(nullptr, text, "OK");
}

}  // namespace dtmrepo
