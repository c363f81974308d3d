#include "toolshell/open_failure.h"

namespace toolshell {

std::string openFailureText(int site, std::string_view fileName, int errorNumber) {
    std::string text = "(";
    text += std::to_string(site);
    text += ") Unable to open ";
    text += fileName;
    text += " Err = ";
    text += std::to_string(errorNumber);
    return text;
}

void showOpenFailure(int site, std::string_view fileName, int errorNumber,
                     std::string_view caption) {
    platform::ui::ShowMessageBox(nullptr, openFailureText(site, fileName, errorNumber), caption);
}

}  // namespace toolshell
