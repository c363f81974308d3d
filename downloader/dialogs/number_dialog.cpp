#include "downloader/dialogs/number_dialog.h"

#include <cstdio>

#include "downloader/dialogs/vexim_resource.h"

namespace ui = platform::ui;

namespace {

constexpr size_t kLongestText = 259;

// Digits only, and small enough to be the dialog's result; an empty text is 0.
bool ReadNumber(const std::string& text, int32_t& value) {
    if (text.size() > kLongestText)
        return false;
    int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
        if (number > INT32_MAX)
            return false;
    }
    value = static_cast<int32_t>(number);
    return true;
}

}  // namespace

int32_t AskNumber(ui::Window owner, const std::string& prompt, int32_t initial,
                  const NumberLimit& limit) {
    return ui::RunDialog(IDD_NUMBER, owner, [&](ui::Window self, const ui::Message& message) {
        if (message.kind == ui::MessageKind::Init) {
            ui::SetItemText(self, IDC_NUMBER_PROMPT, prompt);
            ui::SetItemText(self, IDC_NUMBER_EDIT, std::to_string(initial));
            return true;
        }
        if (message.kind != ui::MessageKind::Command)
            return false;
        if (message.id == ui::kIdCancel) {
            ui::EndDialog(self, initial);
            return true;
        }
        if (message.id != ui::kIdOk)
            return false;
        int32_t value = 0;
        const std::string typed = ui::GetItemText(self, IDC_NUMBER_EDIT);
        if (!ReadNumber(typed, value)) {
            ui::ShowMessageBox(self, "Please enter a postive integer", "Invalid Number",
                               ui::Buttons::Ok, ui::Icon::Warning);
        } else if (value > limit.highest) {
            char text[300];
            std::snprintf(text, sizeof text, limit.refusal, static_cast<int>(value));
            ui::ShowMessageBox(self, text, "VEXIM Error", ui::Buttons::Ok, ui::Icon::Stop);
        } else {
            ui::EndDialog(self, value);
        }
        return true;
    });
}
