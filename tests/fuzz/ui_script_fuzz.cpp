// The headless UI's script over arbitrary text: parsed, then played against a dialog with one
// control of each kind that asks questions and opens file dialogs as the user presses its
// buttons. Every event keeps its line number, and a run always ends. The script and transcript
// quoting gives back any text: SplitTokens(QuoteText(x)) is the one quoted token x, and a line's
// tokens quoted again split into the same texts.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "platform/ui_headless.h"
#include "platform/ui_quote.h"
#include "platform/ui_script.h"

namespace {

namespace ui = platform::ui;

constexpr int kDialog = 700;
constexpr int kAskButton = 101;
constexpr int kOpenButton = 102;
constexpr int kPumpButton = 103;

void Check(bool holds) {
    if (!holds)
        __builtin_trap();
}

void CheckQuoting(std::string_view text) {
    const std::optional<std::vector<ui::Token>> whole = ui::SplitTokens(ui::QuoteText(text));
    Check(whole && whole->size() == 1 && (*whole)[0].quoted && (*whole)[0].text == text);

    size_t lineStart = 0;
    while (lineStart <= text.size()) {
        const size_t end = text.find('\n', lineStart);
        const std::string_view line = text.substr(
            lineStart, end == std::string_view::npos ? std::string_view::npos : end - lineStart);
        if (const auto tokens = ui::SplitTokens(line)) {
            std::string again;
            for (const ui::Token& token : *tokens)
                again += (again.empty() ? "" : " ") + ui::QuoteText(token.text);
            const auto split = ui::SplitTokens(again);
            Check(split && split->size() == tokens->size());
            for (size_t i = 0; i < tokens->size(); ++i)
                Check((*split)[i].text == (*tokens)[i].text);
        }
        if (end == std::string_view::npos)
            break;
        lineStart = end + 1;
    }
}

void RegisterTestDialog() {
    ui::DialogSpec dialog;
    dialog.id = kDialog;
    dialog.title = "Fuzz";
    dialog.controls = {{10, ui::ControlKind::Static, "label"},
                       {11, ui::ControlKind::Edit, ""},
                       {12, ui::ControlKind::Check, "check"},
                       {13, ui::ControlKind::Radio, "a"},
                       {14, ui::ControlKind::Radio, "b"},
                       {15, ui::ControlKind::Combo, ""},
                       {16, ui::ControlKind::ComboList, ""},
                       {17, ui::ControlKind::ListBox, ""},
                       {18, ui::ControlKind::ListView, ""},
                       {19, ui::ControlKind::Tab, ""},
                       {20, ui::ControlKind::Progress, ""},
                       {21, ui::ControlKind::IpAddress, ""},
                       {22, ui::ControlKind::TreeView, ""},
                       {kAskButton, ui::ControlKind::Button, "Ask"},
                       {kOpenButton, ui::ControlKind::Button, "Open"},
                       {kPumpButton, ui::ControlKind::Button, "Work"},
                       {ui::kIdOk, ui::ControlKind::Button, "OK"},
                       {ui::kIdCancel, ui::ControlKind::Button, "Cancel"}};
    ui::RegisterDialog(dialog);
}

bool Procedure(ui::Window self, const ui::Message& message) {
    if (message.kind == ui::MessageKind::Init) {
        for (int id : {15, 16, 17})
            for (const char* item : {"one", "two", "three"})
                ui::AddItem(self, id, item);
        ui::AddTab(self, 19, "first");
        ui::AddTab(self, 19, "second");
        const ui::TreeItem root = ui::AddTreeItem(self, 22, nullptr, "root");
        ui::AddTreeItem(self, 22, root, "leaf");
        ui::SetProgressRange(self, 20, 0, 10);
        return true;
    }
    if (message.kind != ui::MessageKind::Command)
        return false;
    switch (message.id) {
        case kAskButton:
            ui::ShowMessageBox(self, "Go on?", "Question", ui::Buttons::YesNoCancel);
            return true;
        case kOpenButton: {
            ui::FileDialogOptions options;
            options.title = "Open";
            ui::OpenFileDialog(self, options);
            return true;
        }
        case kPumpButton:
            for (int i = 0; i < 3; ++i) {
                ui::PumpMessages();
                ui::SetProgress(self, 20, i);
            }
            return true;
        case ui::kIdOk:
        case ui::kIdCancel:
            ui::EndDialog(self, message.id);
            return true;
        default:
            return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ui::Script script = ui::ParseScript(text);
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    int previous = 0;
    for (const ui::ScriptEvent& event : script.events) {
        Check(event.line > previous && event.line <= lines);
        previous = event.line;
    }
    CheckQuoting(text);

    ui::headless::StartSession(text);
    RegisterTestDialog();
    ui::RunDialog(kDialog, nullptr, Procedure);
    return 0;
}
